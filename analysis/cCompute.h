#pragma once

#include "BoardView.h"
#include "PairScanMemo.h"
#include "SingleNumberRule.h"
#include "VerdictSet.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <span>
#include <vector>

class PairCount;
class cField;

// The analysis engine. It reads a minefield the way the player sees it (opened
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
class cCompute : public QObject {
    Q_OBJECT
public:
    // The command codes of Init; any other code runs nothing.
    static constexpr int CmdChordAll = 0;
    static constexpr int CmdBasic = 1;
    static constexpr int CmdAdvanced = 2;
    static constexpr int CmdScriptA = 3;
    static constexpr int CmdScriptB = 4;

    explicit cCompute(QObject* parent = nullptr);
    ~cCompute() override;

    cField* Field() const;
    void setField(cField* nField);

    // Runs one command on nField under the busy cursor, then lets go of the field.
    void Init(int nAlg, cField* nField);

    // One deduction pass each; Field must be set.
    std::vector<int> CompBasic();
    std::vector<int> CompAdvanced();

    // The steps the commands are built from, open so that tests can check them one
    // by one. Field must be set.
    void ApplyComp(int Kind);
    void ChordAll();
    int StatusSum();
    void ScriptA();
    void ScriptB();

    // List helpers of the pair deduction. A cell list holding the single value -1
    // stands for an empty list.
    static std::vector<int> UnionOrdered(const std::vector<int>& a, const std::vector<int>& b);
    static std::vector<int> AllMasks(int n);
    // Keeps the masks whose bits 0 to r - 1 hold exactly R1 mines and whose bits
    // n - s to n - 1 hold exactly R2, in their order. An empty result means that no
    // placement fits both numbers; it is never padded with a mask that fails.
    static std::vector<int> FilterMasks(const std::vector<int>& masks, int n, int r, int s, int R1, int R2);
    static std::vector<int> MineCounts(const std::vector<int>& masks, int n);

signals:
    void Log(const QString& Str);

private:
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
    // Runs one pass with its timing and pass trace; returns the status sum after it.
    int timedPass(int kind, int sumBefore);
    void sendHeader(const char* script);
    template <typename Loop>
    void runScript(const char* name, Loop loop);

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
};
