#pragma once

#include "RuntimeError.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QFileDialog;

// The common file open/save dialog: the caller fills in the public settings,
// shows the dialog and reads back the chosen file. Cancel is reported as run-time
// error 32755, "Cancel was selected.", so that it ends the caller's operation.
// Tests derive a class that answers from a script instead of showing a window.
class CommonDialog {
public:
    // Flag bits, with the values the callers write out.
    static constexpr int cdlOFNOverwritePrompt = 0x2;    // ask before replacing a file
    static constexpr int cdlOFNHideReadOnly = 0x4;       // no "open read-only" box
    static constexpr int cdlOFNPathMustExist = 0x800;
    static constexpr int cdlOFNFileMustExist = 0x1000;
    static constexpr int cdlOFNNoReadOnlyReturn = 0x8000;

    static constexpr int cdlCancel = RuntimeErrorNumber::Cancel;

    explicit CommonDialog(QWidget* owner = nullptr);
    virtual ~CommonDialog();

    QString Filter;        // "description|pattern|description|pattern...", patterns split by ';'
    int FilterIndex = 0;   // 1-based; after a show, the filter the user left selected
    QString DefaultExt;    // added to a typed name that has no extension
    int Flags = 0;
    QString DialogTitle;
    QString FileName;      // the proposed name before a show, the chosen path after it
    QString FileTitle;     // the chosen file's name without its folder

    virtual void ShowOpen();
    virtual void ShowSave();

    QWidget* owner() const { return m_owner.data(); }

    // The filter text as the toolkit's name filters, one per description and pattern pair.
    static QStringList nameFilters(const QString& Filter);
    // Why the flags refuse a chosen path, or an empty text when they accept it.
    static QString refusal(const QString& path, int Flags, bool open);

protected:
    // Takes a chosen file and filter into the public settings, as a show does when
    // the user confirms; a filter index of 0 leaves FilterIndex as it was.
    void choose(const QString& path, int filterIndex = 0);

private:
    void show(bool open);
    void configure(QFileDialog& dialog, bool open) const;

    QPointer<QWidget> m_owner;
    // The folder of the last chosen file: the next dialog opens there, as the
    // system dialog remembers it for the rest of the run.
    QString m_lastDir;
};
