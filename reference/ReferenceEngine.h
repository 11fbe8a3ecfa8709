#pragma once

#include <QString>

#include <functional>
#include <vector>

class cField;

// The analysis engine in its plainest form, with no thought for speed: every pair lists all 2^n placements and removes the failing
// ones one by one, every pass reads every cell through the field. It is the speed
// baseline of the benchmarks and the oracle the engine's tests compare against.
//
// Two choices it shares with the engine: a pair that admits no placement at all proves nothing (instead of
// declaring every cell safe), and the scripts wait for the clock and read it only
// when somebody receives the trace.
class ReferenceEngine {
public:
    explicit ReferenceEngine(cField& field) : m_field(field) {}

    // Receives the trace; while it is empty no trace text is built.
    std::function<void(const QString&)> log;

    std::vector<int> CoveredNgh(int cell);
    std::vector<int> CompBasic();
    std::vector<int> CompAdvanced();
    void ApplyComp(int kind);
    void ChordAll();
    int StatusSum();
    void ScriptA();
    void ScriptB();

    std::vector<int> LinkedNumbers(int cell, const std::vector<int>& covered);
    static std::vector<int> UnionOrdered(const std::vector<int>& a, const std::vector<int>& b);
    static std::vector<int> AllMasks(int n);
    static std::vector<int> FilterMasks(std::vector<int> masks, int n, int r, int s, int R1, int R2);
    static std::vector<int> MineCounts(const std::vector<int>& masks, int n);
    static std::vector<int> RemoveValue(const std::vector<int>& list, int v);
    static void RemoveAt(std::vector<int>& list, int k);
    static std::vector<int> Distinct(const std::vector<int>& list);

private:
    void sendLog(const QString& text);
    void passTrace(const char* label, float start, int sumBefore);

    cField& m_field;
};
