#include "cCompute.h"

#include "PairCount.h"
#include "TraceText.h"
#include "Verdicts.h"
#include "WaitNextTick.h"

#include "BusyCursor.h"
#include "Clock.h"
#include "FieldCodes.h"
#include "RuntimeError.h"
#include "cField.h"

#include <QMetaMethod>
#include <QScopeGuard>

#include <algorithm>
#include <bit>
#include <string>

namespace {
constexpr int MaxNgh = 8;
// Every opened neighbour of every covered neighbour, before repeats are dropped.
constexpr int MaxLinked = MaxNgh * MaxNgh;
// The two kinds of pass that ApplyComp applies.
constexpr int KindBasic = 1;
constexpr int KindAdvanced = 2;
constexpr int EmptyListMark = -1;

cCell& existingCell(cField& field, int index)
{
    cCell* cell = field.Cell(index);
    if (!cell)
        throw objectNotSet();
    return *cell;
}

// Lists never have zero entries: an empty one is the single mark.
std::vector<int> orEmptyMark(std::vector<int> list)
{
    if (list.empty())
        list.push_back(EmptyListMark);
    return list;
}

unsigned lowBits(int count)
{
    return count >= 32 ? ~0u : (1u << count) - 1u;
}
}

cCompute::cCompute(QObject* parent) : QObject(parent) {}

cCompute::~cCompute() = default;

cField* cCompute::Field() const
{
    return m_Field.data();
}

void cCompute::setField(cField* nField)
{
    m_Field = nField;
}

cField& cCompute::field() const
{
    if (!m_Field)
        throw objectNotSet();
    return *m_Field;
}

bool cCompute::logReceived() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&cCompute::Log));
}

void cCompute::SendLog(const QString& text)
{
    emit Log(text);
}

void cCompute::Init(int nAlg, cField* nField)
{
    // A command started from a receiver in the middle of another one would
    // rebuild the board the running one is reading.
    if (m_inCommand || m_passRunning)
        throw invalidProcedureCall();
    setField(nField);
    m_inCommand = true;
    // Even when a command fails the engine keeps neither the field nor anything it
    // learnt about the board: the next command may meet a different one, and reads
    // it afresh, which starts every deduction built on it over. Only the room the
    // arrays took is kept, so that the next command on the largest board does not
    // allocate it again.
    const auto release = qScopeGuard([this] {
        m_inCommand = false;
        m_view.unbind();
        setField(nullptr);
    });
    const BusyCursor busy;
    switch (nAlg) {
    case CmdChordAll:
        ChordAll();
        break;
    case CmdBasic:
        ApplyComp(KindBasic);
        break;
    case CmdAdvanced:
        ApplyComp(KindAdvanced);
        break;
    case CmdScriptA:
        ScriptA();
        break;
    case CmdScriptB:
        ScriptB();
        break;
    default:
        break;
    }
}

const BoardView& cCompute::currentView()
{
    // Anything asking the engine for more while a pass walks the board or applies
    // its verdicts (a trace receiver, a picture box drawing a cell) would re-read
    // the board under it.
    if (m_passRunning)
        throw invalidProcedureCall();
    cField& f = field();
    // Outside a command nothing says what happened to the board since the last call.
    // Within one, the field's record of changed cells does, whoever changed them;
    // only when the record is incomplete is every status read again.
    if (!m_inCommand || !m_view.bound())
        m_view.bind(f);
    else if (f.statusLogComplete(m_logTicket))
        m_view.follow(f, f.statusLog());
    else
        m_view.refresh(f);
    if (m_inCommand)
        m_logTicket = f.clearStatusLog();
    if (m_view.rebound() || !m_view.changes().empty()) {
        if (m_view.rebound()) {
            // Marked afresh by the first pair pass; a basic pass never needs them.
            m_mark.clear();
            m_stamp = 0;
            m_verdicts.reset(m_view.count());
        }
        m_single.update(m_view);
        m_pairMemo.update(m_view);
        m_view.clearChanges();
    }
    return m_view;
}

int cCompute::coveredCells(int cell, int* covered, int& flags) const
{
    int count = 0;
    flags = 0;
    // Pressed and exploded neighbours count as neither covered nor flagged.
    for (int n : m_view.ngh(cell)) {
        const int status = m_view.status(n);
        if (status == CellStatus::Covered)
            covered[count++] = n;
        else if (status == CellStatus::Flagged)
            ++flags;
    }
    return count;
}

int cCompute::linkedNumbers(int cell, std::span<const int> covered, int* linked) const
{
    // The order of discovery decides which pair is tried first, so it is kept:
    // covered cells in order, each one's neighbours in order, first sight counts.
    int count = 0;
    for (int u : covered) {
        for (int m : m_view.ngh(u)) {
            if (m == cell || m_view.status(m) != CellStatus::Opened)
                continue;
            if (std::find(linked, linked + count, m) == linked + count)
                linked[count++] = m;
        }
    }
    return count;
}

std::vector<int> cCompute::CompBasic()
{
    basicVerdicts();
    return m_verdicts.toArray();
}

std::vector<int> cCompute::CompAdvanced()
{
    advancedVerdicts();
    return m_verdicts.toArray();
}

void cCompute::basicVerdicts()
{
    const BoardView& view = currentView();
    m_verdicts.clear();
    m_single.verdicts(view, m_verdicts);
}

void cCompute::advancedVerdicts()
{
    const BoardView& view = currentView();
    m_verdicts.clear();
    if (m_mark.size() != static_cast<size_t>(view.count()))
        m_mark.assign(static_cast<size_t>(view.count()), 0);
    m_passRunning = true;
    const auto done = qScopeGuard([this] { m_passRunning = false; });
    const bool tracing = logReceived();
    // The numbers known to prove nothing are passed over. A receiver of the trace
    // still hears of each of them, in its place; telling it changes nothing else.
    int untraced = 0;
    for (int p1 = m_pairMemo.next(0); p1 >= 0; p1 = m_pairMemo.next(p1 + 1)) {
        if (tracing) {
            for (int q = untraced; q < p1; ++q)
                examineFirst(q, true, false);
            untraced = p1 + 1;
        }
        // The first pair that proves anything ends the pass; its first number
        // stays open, as the pairs after that one were not looked at.
        if (examineFirst(p1, tracing, true))
            return;
        m_pairMemo.settle(p1);
    }
    if (tracing) {
        for (int q = untraced; q < view.count(); ++q)
            examineFirst(q, true, false);
    }
}

bool cCompute::examineFirst(int p1, bool tracing, bool decide)
{
    const BoardView& view = m_view;
    int p1Un[MaxNgh], p2Un[MaxNgh], linked[MaxLinked];
    int flags1 = 0;
    const int n1 = view.status(p1) == CellStatus::Opened ? coveredCells(p1, p1Un, flags1) : 0;
    if (n1 == 0)
        return false;
    const int need1 = view.nr(p1) - flags1;
    const std::span<const int> first(p1Un, static_cast<size_t>(n1));
    const int nLinked = linkedNumbers(p1, first, linked);
    if (tracing)
        traceFirstNumber(p1, first, need1, {linked, static_cast<size_t>(nLinked)});

    if (++m_stamp == 0) {
        std::fill(m_mark.begin(), m_mark.end(), 0u);
        m_stamp = 1;
    }
    for (int u : first)
        m_mark[static_cast<size_t>(u)] = m_stamp;

    for (int k = 0; k < nLinked; ++k) {
        const int p2 = linked[k];
        int flags2 = 0;
        const int n2 = coveredCells(p2, p2Un, flags2);
        const int need2 = view.nr(p2) - flags2;
        int shared = 0;
        for (int j = 0; j < n2; ++j)
            shared += m_mark[static_cast<size_t>(p2Un[j])] == m_stamp;
        const PairCount outcome(n1 - shared, shared, n2 - shared, need1, need2);
        const std::span<const int> second(p2Un, static_cast<size_t>(n2));
        if (decide && outcome.productive()) {
            for (int u : first) {
                const bool both = std::find(second.begin(), second.end(), u) != second.end();
                m_verdicts.set(u, outcome.verdict(both ? PairCount::Shared : PairCount::OnlyFirst));
            }
            for (int u : second) {
                if (m_mark[static_cast<size_t>(u)] != m_stamp)
                    m_verdicts.set(u, outcome.verdict(PairCount::OnlySecond));
            }
        }
        if (tracing)
            tracePair(p2, first, second, need1, need2, outcome);
        if (outcome.productive())
            return true;
    }
    return false;
}

void cCompute::traceFirstNumber(int p1, std::span<const int> p1Un, int need1, std::span<const int> linked)
{
    const cCell& cell = existingCell(field(), p1);
    static const int emptyList[] = {EmptyListMark};
    TraceText t;
    t << "-- 2 ----------------------";
    t.newLine() << "-- P1: " << p1 << "  x,y: " << cell.X() << "," << cell.Y();
    t.newLine() << "P1Un: " << p1Un;
    t.newLine() << "P1Nr: " << need1;
    t.newLine() << "P2Li: " << (linked.empty() ? std::span<const int>(emptyList) : linked);
    SendLog(t.text());
}

void cCompute::tracePair(int p2, std::span<const int> p1Un, std::span<const int> p2Un, int need1, int need2,
                         const PairCount& outcome)
{
    // The trace shows every placement that fits, so here, and only here, they are listed.
    const std::vector<int> first(p1Un.begin(), p1Un.end()), second(p2Un.begin(), p2Un.end());
    const std::vector<int> p12Un = UnionOrdered(first, second);
    const int n = static_cast<int>(p12Un.size());
    const std::vector<int> masks = FilterMasks(AllMasks(n), n, static_cast<int>(first.size()),
                                               static_cast<int>(second.size()), need1, need2);
    const std::vector<int> counts = MineCounts(masks, n);
    const int kept = static_cast<int>(masks.size());

    const cCell& cell = existingCell(field(), p2);
    TraceText t;
    t << "-- P2: " << p2 << "  x,y: " << cell.X() << "," << cell.Y();
    t.newLine() << "P2Un: " << p2Un;
    t.newLine() << "P2Nr: " << need2;
    t.newLine() << "P12Un(" << n << ")";
    t.newLine() << "Sol(" << static_cast<int>(lowBits(n)) << ")";
    t.newLine() << "Sol(" << kept - 1 << ")";
    std::string digits(static_cast<size_t>(n), '0');
    for (int k = 0; k < kept; ++k) {
        const auto mask = static_cast<unsigned>(masks[static_cast<size_t>(k)]);
        for (int j = 0; j < n; ++j)
            digits[static_cast<size_t>(j)] = (mask >> j) & 1u ? '1' : '0';
        t.newLine() << k << ": " << digits.c_str();
    }
    for (int j = 0; j < n; ++j) {
        t.newLine() << "P:" << p12Un[static_cast<size_t>(j)] << "\t" << kept << " Ch: " << counts[static_cast<size_t>(j)];
        // The listed placements and the counting must tell the same story.
        const int listed = kept == 0 ? Verdicts::None
            : counts[static_cast<size_t>(j)] == 0 ? Verdicts::Safe
            : counts[static_cast<size_t>(j)] == kept ? Verdicts::Mine : Verdicts::None;
        const bool both = j >= n - static_cast<int>(second.size()) && j < static_cast<int>(first.size());
        const PairCount::Group group = both ? PairCount::Shared
            : j < static_cast<int>(first.size()) ? PairCount::OnlyFirst : PairCount::OnlySecond;
        Q_ASSERT(listed == outcome.verdict(group));
        Q_UNUSED(listed);
        Q_UNUSED(group);
    }
    SendLog(t.text());
}

void cCompute::ApplyComp(int Kind)
{
    if (Kind != KindBasic && Kind != KindAdvanced)
        return;
    cField& f = field();
    if (Kind == KindBasic)
        basicVerdicts();
    else
        advancedVerdicts();
    {
        m_passRunning = true;
        const auto done = qScopeGuard([this] { m_passRunning = false; });
        // Applied by cell index, not in the order found: a cell already opened by an
        // earlier flood in this pass is simply opened again, which changes nothing.
        for (int i : m_verdicts.cells()) {
            if (m_verdicts.at(i) == Verdicts::Safe)
                f.ChkCell(i);
            else
                existingCell(f, i).Check(CellAction::ToggleFlag, f);
        }
    }
    // Every applied pass ends with the mine recount and the win check, so that the
    // counter and the smile follow each one. The field keeps running counts for
    // both, so neither walks the board.
    f.CntM();
    f.ChkWin();
}

void cCompute::ChordAll()
{
    cField& f = field();
    // One pass reading the board as it goes: a cell opened by an earlier chord is
    // chorded too when its index is still ahead. Flags are trusted, so a wrong one
    // lets a mine open; the win or loss is left to the next move that checks.
    for (int i = 0;; ++i) {
        const cCell* cell = f.Cell(i);
        if (!cell)
            break;
        if (cell->Status() != CellStatus::Opened)
            continue;
        int flags = 0;
        for (int n : cell->Ngh())
            flags += existingCell(f, n).Status() == CellStatus::Flagged;
        if (flags == cell->Nr())
            f.ChkAll(i);
    }
}

int cCompute::StatusSum()
{
    return currentView().statusSum();
}

void cCompute::sendHeader(const char* script)
{
    if (!logReceived())
        return;
    TraceText t;
    t << script;
    t.newLine() << ":time: " << field().Time() << "\t:Sum: " << 0;
    SendLog(t.text());
}

int cCompute::timedPass(int kind, int sumBefore)
{
    // The timing exists for the trace alone: with nobody listening nobody waits for
    // the clock to tick, which on a large board would cost more than the passes.
    const bool tracing = logReceived();
    const float start = tracing ? mGlobal::WaitNextTick() : 0.0f;
    ApplyComp(kind);
    if (tracing) {
        const float time = field().Time();
        const float passTime = Timer() - start;
        TraceText t;
        t << (kind == KindBasic ? "=Comp1: " : "=Comp2: ") << passTime;
        t.newLine() << ":time: " << time << "\t:Sum: " << sumBefore;
        SendLog(t.text());
    }
    return StatusSum();
}

template <typename Loop>
void cCompute::runScript(const char* name, Loop loop)
{
    sendHeader(name);
    loop(StatusSum());
}

void cCompute::ScriptA()
{
    // Cheap single-number passes while they make progress; a pair pass only when
    // they stall, and any progress it makes goes back to the cheap ones.
    runScript("ScriptA", [this](int before) {
        for (;;) {
            int after = timedPass(KindBasic, before);
            if (after != before) {
                before = after;
                continue;
            }
            after = timedPass(KindAdvanced, before);
            if (after == before)
                return;
            before = after;
        }
    });
}

void cCompute::ScriptB()
{
    runScript("ScriptB", [this](int before) {
        for (;;) {
            const int after = timedPass(KindAdvanced, before);
            if (after == before)
                return;
            before = after;
        }
    });
}

std::vector<int> cCompute::UnionOrdered(const std::vector<int>& a, const std::vector<int>& b)
{
    // Cells only the first number sees, then the shared ones, then those only the
    // second sees: each number then covers one unbroken range of mask bits.
    const auto inList = [](const std::vector<int>& list, int v) {
        return std::find(list.begin(), list.end(), v) != list.end();
    };
    std::vector<int> out;
    out.reserve(a.size() + b.size());
    for (int v : a) {
        if (!inList(b, v))
            out.push_back(v);
    }
    for (int v : a) {
        if (inList(b, v))
            out.push_back(v);
    }
    for (int v : b) {
        if (!inList(a, v))
            out.push_back(v);
    }
    return orEmptyMark(std::move(out));
}

std::vector<int> cCompute::AllMasks(int n)
{
    if (n < 0 || n > 30)
        throw subscriptOutOfRange();
    std::vector<int> masks(size_t{1} << n);
    for (size_t k = 0; k < masks.size(); ++k)
        masks[k] = static_cast<int>(k);
    return masks;
}

std::vector<int> cCompute::FilterMasks(const std::vector<int>& masks, int n, int r, int s, int R1, int R2)
{
    const unsigned firstBits = lowBits(r);
    const unsigned secondBits = lowBits(s);
    const int secondShift = std::max(0, n - s);
    std::vector<int> kept;
    kept.reserve(masks.size());
    for (int mask : masks) {
        const auto m = static_cast<unsigned>(mask);
        if (std::popcount(m & firstBits) == R1 && std::popcount((m >> secondShift) & secondBits) == R2)
            kept.push_back(mask);
    }
    return kept;
}

std::vector<int> cCompute::MineCounts(const std::vector<int>& masks, int n)
{
    std::vector<int> counts(static_cast<size_t>(std::max(n, 0)), 0);
    for (int mask : masks) {
        for (int j = 0; j < n; ++j)
            counts[static_cast<size_t>(j)] += (static_cast<unsigned>(mask) >> j) & 1u;
    }
    return counts;
}
