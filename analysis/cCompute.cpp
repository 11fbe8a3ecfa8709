#include "cCompute.h"

#include "BoardView.h"
#include "CompleteByOdds.h"
#include "OddsEngine.h"
#include "PairCount.h"
#include "PairMasks.h"
#include "PairScanMemo.h"
#include "SingleNumberRule.h"
#include "TraceText.h"
#include "VerdictSet.h"
#include "Verdicts.h"
#include "WaitNextTick.h"

#include "BusyCursor.h"
#include "Clock.h"
#include "FieldCodes.h"
#include "RuntimeError.h"
#include "cField.h"

#include <QMetaMethod>
#include <QPointer>
#include <QScopeGuard>

#include <algorithm>
#include <span>
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
}

// How the engine works. It reads a minefield the way the player sees it (opened
// numbers, flags, covered cells), never where the mines are, proves cells safe or
// mined one number at a time or by pairs of numbers, and acts on the board only
// through the field's own moves. It holds the field for the length of one command.
//
// On the largest board the automatic completions run thousands of passes, so a
// pass costs in proportion to what changed, not to the board: what each number
// proves alone and which first numbers have only unproductive pairs is kept until
// a cell it depends on changes, and the field tells which cells changed since the
// last pass, whoever changed them. The engine works the same whether a window, a
// receiver of the trace or nobody watches; a receiver of the trace only causes
// the trace to be written and the pass clock to be read. The verdicts and boards
// are exactly those of reading the whole board afresh before every pass. A
// receiver of the trace sees every pass as it happens; it may read the board, but
// must not call the engine or rebuild the field while a pass runs.
struct cCompute::Impl {
    explicit Impl(cCompute& self) : owner(self) {}

    cField& field() const;
    bool logReceived() const;
    void SendLog(const QString& text);
    // The board as of now, with the deductions built on it brought up to date.
    const BoardView& currentView();
    void basicVerdicts();
    void advancedVerdicts();
    // Looks at the pairs of one first number in order. With decide, the first
    // pair that proves anything writes its verdicts; with tracing, each is told.
    // True when a pair proved something.
    bool examineFirst(int p1, bool tracing, bool decide);

    int coveredCells(int cell, int* covered, int& flags) const;
    int linkedNumbers(int cell, std::span<const int> covered, int* linked) const;
    void traceFirstNumber(int p1, std::span<const int> p1Un, int need1, std::span<const int> linked);
    void tracePair(int p2, std::span<const int> p1Un, std::span<const int> p2Un, int need1, int need2,
                   const PairCount& outcome);

    // The steps the commands are built from.
    void ApplyComp(int Kind);
    void ChordAll();
    int StatusSum();
    void ScriptA();
    void ScriptB();
    // Runs one pass with its timing and pass trace; returns the status sum after it.
    int timedPass(int kind, int sumBefore);
    void sendHeader(const char* script);
    template <typename Loop>
    void runScript(const char* name, Loop loop);

    cCompute& owner;
    QPointer<cField> m_Field;
    bool m_inCommand = false;
    // A pass is walking the board or applying its verdicts.
    bool m_passRunning = false;
    // The field's record of changed cells that the view has caught up with.
    unsigned m_logTicket = 0;
    BoardView m_view;
    SingleNumberRule m_single;
    PairScanMemo m_pairMemo;
    VerdictSet m_verdicts;
    // Marks the covered cells of the current first number: a stamp per cell
    // instead of a set, so that no pair allocates anything.
    std::vector<unsigned> m_mark;
    unsigned m_stamp = 0;
    // The exact analysis keeps what it counted of each group of cells from one
    // complete auto-completion to the next: the board a player comes back with
    // has changed only here and there. Its results never depend on that memory.
    OddsEngine m_odds;
};

cCompute::cCompute(QObject* parent) : QObject(parent), d(std::make_unique<Impl>(*this)) {}

cCompute::~cCompute() = default;

cField* cCompute::Field() const
{
    return d->m_Field.data();
}

void cCompute::setField(cField* nField)
{
    d->m_Field = nField;
}

cField& cCompute::Impl::field() const
{
    if (!m_Field)
        throw objectNotSet();
    return *m_Field;
}

bool cCompute::Impl::logReceived() const
{
    return owner.isSignalConnected(QMetaMethod::fromSignal(&cCompute::Log));
}

void cCompute::Impl::SendLog(const QString& text)
{
    emit owner.Log(text);
}

void cCompute::Init(int nAlg, cField* nField)
{
    // A command started from a receiver in the middle of another one would
    // rebuild the board the running one is reading.
    if (d->m_inCommand || d->m_passRunning)
        throw invalidProcedureCall();
    setField(nField);
    d->m_inCommand = true;
    // Even when a command fails the engine keeps neither the field nor anything it
    // learnt about the board: the next command may meet a different one, and reads
    // it afresh, which starts every deduction built on it over. Only the room the
    // arrays took is kept, so that the next command on the largest board does not
    // allocate it again, and the exact analysis's counts, which are filed under
    // what the numbers ask of their cells and so are only ever found again on a
    // board where they still hold.
    const auto release = qScopeGuard([this] {
        d->m_inCommand = false;
        d->m_view.unbind();
        setField(nullptr);
    });
    const BusyCursor busy;
    switch (nAlg) {
    case CmdChordAll:
        d->ChordAll();
        break;
    case CmdBasic:
        d->ApplyComp(KindBasic);
        break;
    case CmdAdvanced:
        d->ApplyComp(KindAdvanced);
        break;
    case CmdScriptA:
        d->ScriptA();
        break;
    case CmdScriptB:
        d->ScriptB();
        break;
    case CmdComplete:
        completeByOdds(d->field(), d->m_odds);
        break;
    default:
        break;
    }
}

const BoardView& cCompute::Impl::currentView()
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

int cCompute::Impl::coveredCells(int cell, int* covered, int& flags) const
{
    int count = 0, flagged = 0;
    // Pressed and exploded neighbours count as neither covered nor flagged. Written
    // without branches: which status comes next is anybody's guess.
    m_view.forEachNgh(cell, [&](int n) {
        const int status = m_view.status(n);
        covered[count] = n;
        count += status == CellStatus::Covered;
        flagged += status == CellStatus::Flagged;
    });
    flags = flagged;
    return count;
}

int cCompute::Impl::linkedNumbers(int cell, std::span<const int> covered, int* linked) const
{
    // The order of discovery decides which pair is tried first, so it is kept:
    // covered cells in order, each one's neighbours in order, first sight counts.
    int count = 0;
    for (int u : covered) {
        m_view.forEachNgh(u, [&](int m) {
            if (m != cell && m_view.status(m) == CellStatus::Opened
                && std::find(linked, linked + count, m) == linked + count)
                linked[count++] = m;
        });
    }
    return count;
}

std::vector<int> cCompute::CompBasic()
{
    d->basicVerdicts();
    return d->m_verdicts.toArray();
}

std::vector<int> cCompute::CompAdvanced()
{
    d->advancedVerdicts();
    return d->m_verdicts.toArray();
}

void cCompute::Impl::basicVerdicts()
{
    const BoardView& view = currentView();
    m_verdicts.clear();
    m_single.verdicts(view, m_verdicts);
}

void cCompute::Impl::advancedVerdicts()
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

bool cCompute::Impl::examineFirst(int p1, bool tracing, bool decide)
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

void cCompute::Impl::traceFirstNumber(int p1, std::span<const int> p1Un, int need1, std::span<const int> linked)
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

void cCompute::Impl::tracePair(int p2, std::span<const int> p1Un, std::span<const int> p2Un, int need1, int need2,
                         const PairCount& outcome)
{
    // The trace shows every placement that fits, so here, and only here, they are listed.
    const std::vector<int> first(p1Un.begin(), p1Un.end()), second(p2Un.begin(), p2Un.end());
    const std::vector<int> p12Un = PairMasks::UnionOrdered(first, second);
    const int n = static_cast<int>(p12Un.size());
    const std::vector<int> masks = PairMasks::FilterMasks(PairMasks::AllMasks(n), n, static_cast<int>(first.size()),
                                               static_cast<int>(second.size()), need1, need2);
    const std::vector<int> counts = PairMasks::MineCounts(masks, n);
    const int kept = static_cast<int>(masks.size());

    const cCell& cell = existingCell(field(), p2);
    TraceText t;
    t << "-- P2: " << p2 << "  x,y: " << cell.X() << "," << cell.Y();
    t.newLine() << "P2Un: " << p2Un;
    t.newLine() << "P2Nr: " << need2;
    t.newLine() << "P12Un(" << n << ")";
    t.newLine() << "Sol(" << static_cast<int>(PairMasks::lowBits(n)) << ")";
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

void cCompute::Impl::ApplyComp(int Kind)
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

void cCompute::Impl::ChordAll()
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

int cCompute::Impl::StatusSum()
{
    return currentView().statusSum();
}

void cCompute::Impl::sendHeader(const char* script)
{
    if (!logReceived())
        return;
    TraceText t;
    t << script;
    t.newLine() << ":time: " << field().Time() << "\t:Sum: " << 0;
    SendLog(t.text());
}

int cCompute::Impl::timedPass(int kind, int sumBefore)
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
void cCompute::Impl::runScript(const char* name, Loop loop)
{
    sendHeader(name);
    loop(StatusSum());
}

void cCompute::Impl::ScriptA()
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

void cCompute::Impl::ScriptB()
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
