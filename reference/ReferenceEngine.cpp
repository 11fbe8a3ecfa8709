#include "ReferenceEngine.h"

#include "Clock.h"
#include "FieldCodes.h"
#include "cField.h"

#include <QStringList>

#include <cstring>

namespace {
constexpr int NoVerdict = 0, SafeVerdict = 1, MineVerdict = 2;

QString num(int v)
{
    return QString::number(v);
}

QString single(float v)
{
    // Adding +0 turns a negative zero into a plain one.
    return QString::asprintf("%.7G", static_cast<double>(v + 0.0f));
}

QString listText(const std::vector<int>& list)
{
    QString text;
    for (int v : list)
        text += num(v) + QLatin1Char(' ');
    return text;
}

float waitNextTick()
{
    const float first = Timer();
    while (Timer() == first) {
    }
    return Timer();
}

void setVerdict(std::vector<int>& verdicts, int index, int value)
{
    if (index > static_cast<int>(verdicts.size()) - 1)
        verdicts.resize(static_cast<size_t>(index) + 1, NoVerdict);
    verdicts[static_cast<size_t>(index)] = value;
}

int bitsSet(int mask, int from, int to)
{
    int count = 0;
    for (int b = from; b <= to; ++b) {
        if (mask & (1 << b))
            ++count;
    }
    return count;
}

bool fits(int mask, int n, int r, int s, int R1, int R2)
{
    return bitsSet(mask, 0, r - 1) == R1 && bitsSet(mask, n - s, n - 1) == R2;
}
}

void ReferenceEngine::sendLog(const QString& text)
{
    if (log)
        log(text);
}

std::vector<int> ReferenceEngine::CoveredNgh(int cell)
{
    std::vector<int> out;
    int flags = 0;
    for (int n : m_field.Cell(cell)->Ngh()) {
        const int status = m_field.Cell(n)->Status();
        if (status == CellStatus::Covered)
            out.push_back(n);
        else if (status == CellStatus::Flagged)
            ++flags;
    }
    out.push_back(flags);
    return out;
}

std::vector<int> ReferenceEngine::CompBasic()
{
    std::vector<int> verdicts(1, NoVerdict);
    for (int i = 0; m_field.Cell(i); ++i) {
        cCell* cell = m_field.Cell(i);
        if (cell->Status() != CellStatus::Opened || cell->Nr() <= 0)
            continue;
        int u = 0, f = 0;
        for (int n : cell->Ngh()) {
            if (m_field.Cell(n)->Status() == CellStatus::Covered)
                ++u;
            else if (m_field.Cell(n)->Status() == CellStatus::Flagged)
                ++f;
        }
        const int r = cell->Nr() - f;
        if (r == 0 && u > 0) {
            for (int n : cell->Ngh()) {
                if (m_field.Cell(n)->Status() == CellStatus::Covered)
                    setVerdict(verdicts, n, SafeVerdict);
            }
        } else if (cell->Nr() == u + f) {
            for (int n : cell->Ngh()) {
                if (m_field.Cell(n)->Status() == CellStatus::Covered)
                    setVerdict(verdicts, n, MineVerdict);
            }
        }
    }
    return verdicts;
}

std::vector<int> ReferenceEngine::CompAdvanced()
{
    std::vector<int> verdicts(1, NoVerdict);
    for (int p1 = 0; m_field.Cell(p1); ++p1) {
        cCell* c1 = m_field.Cell(p1);
        if (c1->Status() != CellStatus::Opened)
            continue;
        const std::vector<int> L = CoveredNgh(p1);
        const int p1Nr = c1->Nr() - L.back();
        if (L.size() == 1)
            continue;
        const std::vector<int> p1Un(L.begin(), L.end() - 1);
        const std::vector<int> p2Li = LinkedNumbers(p1, p1Un);
        if (log) {
            QStringList lines;
            lines << QStringLiteral("-- 2 ----------------------")
                  << "-- P1: " + num(p1) + "  x,y: " + num(c1->X()) + "," + num(c1->Y())
                  << "P1Un: " + listText(p1Un) << "P1Nr: " + num(p1Nr) << "P2Li: " + listText(p2Li);
            sendLog(lines.join(QStringLiteral("\r\n")));
        }
        if (p2Li.size() == 1 && p2Li[0] == -1)
            continue;
        for (int p2 : p2Li) {
            cCell* c2 = m_field.Cell(p2);
            const std::vector<int> M = CoveredNgh(p2);
            const int p2Nr = c2->Nr() - M.back();
            const std::vector<int> p2Un(M.begin(), M.end() - 1);
            std::vector<int> p12Un = UnionOrdered(p1Un, p2Un);
            if (p12Un.size() == 1 && p12Un[0] == -1)
                p12Un.clear();
            const int n = static_cast<int>(p12Un.size());
            const int r = static_cast<int>(p1Un.size()), s = static_cast<int>(p2Un.size());
            std::vector<int> masks = FilterMasks(AllMasks(n), n, r, s, p1Nr, p2Nr);
            // The list cannot shrink below one entry; a lone survivor that fails
            // the test means that nothing fits, and such a pair proves nothing.
            if (masks.size() == 1 && !fits(masks[0], n, r, s, p1Nr, p2Nr))
                masks.clear();
            const std::vector<int> counts = MineCounts(masks, n);
            const int kept = static_cast<int>(masks.size());
            bool productive = false;
            for (int j = 0; j < n && kept > 0; ++j) {
                if (counts[static_cast<size_t>(j)] == 0) {
                    setVerdict(verdicts, p12Un[static_cast<size_t>(j)], SafeVerdict);
                    productive = true;
                } else if (counts[static_cast<size_t>(j)] == kept) {
                    setVerdict(verdicts, p12Un[static_cast<size_t>(j)], MineVerdict);
                    productive = true;
                }
            }
            if (log) {
                QStringList lines;
                lines << "-- P2: " + num(p2) + "  x,y: " + num(c2->X()) + "," + num(c2->Y())
                      << "P2Un: " + listText(p2Un) << "P2Nr: " + num(p2Nr) << "P12Un(" + num(n) + ")"
                      << "Sol(" + num(static_cast<int>(AllMasks(n).size()) - 1) + ")" << "Sol(" + num(kept - 1) + ")";
                for (int k = 0; k < kept; ++k) {
                    QString bits;
                    for (int j = 0; j < n; ++j)
                        bits += (masks[static_cast<size_t>(k)] & (1 << j)) ? QLatin1Char('1') : QLatin1Char('0');
                    lines << num(k) + ": " + bits;
                }
                for (int j = 0; j < n; ++j)
                    lines << "P:" + num(p12Un[static_cast<size_t>(j)]) + "\t" + num(kept) + " Ch: "
                            + num(counts[static_cast<size_t>(j)]);
                sendLog(lines.join(QStringLiteral("\r\n")));
            }
            if (productive)
                return verdicts;
        }
    }
    return verdicts;
}

std::vector<int> ReferenceEngine::LinkedNumbers(int cell, const std::vector<int>& covered)
{
    std::vector<int> list(1, -1);
    for (int u : covered) {
        for (int m : m_field.Cell(u)->Ngh()) {
            if (m_field.Cell(m)->Status() == CellStatus::Opened) {
                list.back() = m;
                list.push_back(-1);
            }
        }
    }
    if (list.front() != -1)
        list.pop_back();
    if (list.front() != -1) {
        list = RemoveValue(list, cell);
        list = Distinct(list);
    }
    return list;
}

std::vector<int> ReferenceEngine::UnionOrdered(const std::vector<int>& a, const std::vector<int>& b)
{
    auto contains = [](const std::vector<int>& list, int v) {
        for (int e : list) {
            if (e == v)
                return true;
        }
        return false;
    };
    std::vector<int> out(1, -1);
    auto add = [&out](int v) {
        out.back() = v;
        out.push_back(-1);
    };
    for (int v : a) {
        if (!contains(b, v))
            add(v);
    }
    for (int v : a) {
        if (contains(b, v))
            add(v);
    }
    for (int v : b) {
        if (!contains(a, v))
            add(v);
    }
    if (out.front() != -1)
        out.pop_back();
    return out;
}

std::vector<int> ReferenceEngine::AllMasks(int n)
{
    std::vector<int> masks(static_cast<size_t>(1) << n);
    for (size_t k = 0; k < masks.size(); ++k)
        masks[k] = static_cast<int>(k);
    return masks;
}

std::vector<int> ReferenceEngine::FilterMasks(std::vector<int> masks, int n, int r, int s, int R1, int R2)
{
    for (int k = static_cast<int>(masks.size()) - 1; k >= 0; --k) {
        if (!fits(masks[static_cast<size_t>(k)], n, r, s, R1, R2))
            RemoveAt(masks, k);
    }
    return masks;
}

std::vector<int> ReferenceEngine::MineCounts(const std::vector<int>& masks, int n)
{
    std::vector<int> counts(static_cast<size_t>(n), 0);
    for (int mask : masks) {
        for (int j = 0; j < n; ++j) {
            if (mask & (1 << j))
                ++counts[static_cast<size_t>(j)];
        }
    }
    return counts;
}

std::vector<int> ReferenceEngine::RemoveValue(const std::vector<int>& list, int v)
{
    std::vector<int> out(1, -1);
    for (int e : list) {
        if (e != v) {
            out.back() = e;
            out.push_back(-1);
        }
    }
    if (out.front() != -1)
        out.pop_back();
    return out;
}

void ReferenceEngine::RemoveAt(std::vector<int>& list, int k)
{
    const int last = static_cast<int>(list.size()) - 1;
    if (last == 0)
        return;
    if (k < last)
        std::memmove(&list[static_cast<size_t>(k)], &list[static_cast<size_t>(k) + 1],
                     static_cast<size_t>(last - k) * sizeof(int));
    list.pop_back();
}

std::vector<int> ReferenceEngine::Distinct(const std::vector<int>& list)
{
    std::vector<int> out;
    for (int v : list) {
        bool seen = false;
        for (int e : out)
            seen = seen || e == v;
        if (!seen)
            out.push_back(v);
    }
    return out;
}

void ReferenceEngine::ApplyComp(int kind)
{
    const std::vector<int> verdicts = kind == 1 ? CompBasic() : CompAdvanced();
    for (int i = 0; i <= static_cast<int>(verdicts.size()) - 1; ++i) {
        if (verdicts[static_cast<size_t>(i)] == SafeVerdict)
            m_field.ChkCell(i);
        else if (verdicts[static_cast<size_t>(i)] == MineVerdict)
            m_field.Cell(i)->Check(CellAction::ToggleFlag, m_field);
    }
    m_field.CntM();
    m_field.ChkWin();
}

void ReferenceEngine::ChordAll()
{
    for (int i = 0; m_field.Cell(i); ++i) {
        cCell* cell = m_field.Cell(i);
        if (cell->Status() != CellStatus::Opened)
            continue;
        int flags = 0;
        for (int n : cell->Ngh()) {
            if (m_field.Cell(n)->Status() == CellStatus::Flagged)
                ++flags;
        }
        if (flags == cell->Nr())
            m_field.ChkAll(i);
    }
}

int ReferenceEngine::StatusSum()
{
    int sum = 0;
    for (int i = 0; m_field.Cell(i); ++i)
        sum += m_field.Cell(i)->Status();
    return sum;
}

void ReferenceEngine::passTrace(const char* label, float start, int sumBefore)
{
    if (!log)
        return;
    const float time = m_field.Time();
    const float passTime = Timer() - start;
    sendLog(QLatin1String(label) + single(passTime) + "\r\n:time: " + single(time) + "\t:Sum: " + num(sumBefore));
}

void ReferenceEngine::ScriptA()
{
    if (log)
        sendLog("ScriptA\r\n:time: " + single(m_field.Time()) + "\t:Sum: 0");
    for (;;) {
        const int before = StatusSum();
        float start = log ? waitNextTick() : 0.0f;
        ApplyComp(1);
        passTrace("=Comp1: ", start, before);
        if (StatusSum() != before)
            continue;
        start = log ? waitNextTick() : 0.0f;
        ApplyComp(2);
        passTrace("=Comp2: ", start, before);
        if (StatusSum() != before)
            continue;
        break;
    }
}

void ReferenceEngine::ScriptB()
{
    if (log)
        sendLog("ScriptB\r\n:time: " + single(m_field.Time()) + "\t:Sum: 0");
    for (;;) {
        const int before = StatusSum();
        const float start = log ? waitNextTick() : 0.0f;
        ApplyComp(2);
        passTrace("=Comp2: ", start, before);
        if (StatusSum() == before)
            break;
    }
}
