#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class cField;

// The analysis engine: it proves cells of a minefield safe or mined from what
// the player sees, and runs the commands of the Compute menu on a field.
class cCompute : public QObject {
    Q_OBJECT
public:
    // The command codes of Init; any other code runs nothing.
    static constexpr int CmdChordAll = 0;
    static constexpr int CmdBasic = 1;
    static constexpr int CmdAdvanced = 2;
    static constexpr int CmdScriptA = 3;
    static constexpr int CmdScriptB = 4;
    // Every verdict of the exact analysis, applied and analysed again until it
    // proves nothing new or the game ends.
    static constexpr int CmdComplete = 5;

    explicit cCompute(QObject* parent = nullptr);
    ~cCompute() override;

    cField* Field() const;
    void setField(cField* nField);

    // Runs one command on nField under the busy cursor, then lets go of the field.
    void Init(int nAlg, cField* nField);

    // One deduction pass each; Field must be set.
    std::vector<int> CompBasic();
    std::vector<int> CompAdvanced();

signals:
    void Log(const QString& Str);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
