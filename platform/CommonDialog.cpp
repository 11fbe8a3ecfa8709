#include "CommonDialog.h"

#include "RuntimeError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

namespace {
// The 1-based index of the selected filter, 0 when there is none. With the
// details hidden, the dialog may report the filter by its description alone.
int filterIndex(const QStringList& filters, const QString& selected)
{
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& filter = filters[i];
        const QString description = filter.left(filter.lastIndexOf(QLatin1String(" ("))).trimmed();
        if (selected == filter || selected == description)
            return static_cast<int>(i) + 1;
    }
    return 0;
}
}

CommonDialog::CommonDialog(QWidget* owner) : m_owner(owner) {}

CommonDialog::~CommonDialog() = default;

void CommonDialog::ShowOpen()
{
    show(true);
}

void CommonDialog::ShowSave()
{
    show(false);
}

QStringList CommonDialog::nameFilters(const QString& Filter)
{
    QStringList filters;
    const QStringList parts = Filter.split(QLatin1Char('|'));
    // A description without its pattern is incomplete and offers nothing to pick.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            // "*.*" means every file there, also the names without a dot; the toolkit
            // would take the dot as required and hide those.
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // The toolkit takes the patterns from the last parentheses; the description
        // keeps its own text, which is all the dialog shows (HideNameFilterDetails).
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

// In the language of the rest of the interface, as the system's own dialog says it.
QString CommonDialog::refusal(const QString& path, int Flags, bool open)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if ((Flags & (cdlOFNPathMustExist | cdlOFNFileMustExist)) && !folder.isDir())
        return QStringLiteral("%1\n文件夹不存在。\n请检查路径，然后重试。")
            .arg(QDir::toNativeSeparators(path));
    if (open && (Flags & cdlOFNFileMustExist) && !file.exists())
        return QStringLiteral("%1\n文件不存在。\n请检查文件名，然后重试。")
            .arg(QDir::toNativeSeparators(path));
    if (Flags & cdlOFNNoReadOnlyReturn) {
        if (file.exists() ? !file.isWritable() : !folder.isWritable())
            return QStringLiteral("%1\n此文件或其所在文件夹为只读。\n请另选一个文件。")
                .arg(QDir::toNativeSeparators(path));
    }
    return {};
}

void CommonDialog::choose(const QString& path, int filterIndex)
{
    const QFileInfo chosen(path);
    FileName = path;
    FileTitle = chosen.fileName();
    if (filterIndex > 0)
        FilterIndex = filterIndex;
    m_lastDir = chosen.absolutePath();
}

void CommonDialog::configure(QFileDialog& dialog, bool open) const
{
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open && (Flags & cdlOFNFileMustExist) ? QFileDialog::ExistingFile
                                                             : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(Flags & cdlOFNOverwritePrompt));
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    // The toolkit's dialog has no read-only box, so cdlOFNHideReadOnly holds by itself.

    const QStringList filters = nameFilters(Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (FilterIndex >= 1 && FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[FilterIndex - 1]);
    }

    QString ext = DefaultExt;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);

    if (!m_lastDir.isEmpty() && QFileInfo(FileName).isRelative())
        dialog.setDirectory(m_lastDir);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
}

void CommonDialog::show(bool open)
{
    QFileDialog dialog(m_owner.data(), DialogTitle);
    configure(dialog, open);
    // Room for every column: the name takes what is left after size, type and
    // date have the width their texts need.
    dialog.resize(dialog.sizeHint().expandedTo(QSize(820, 500)));
    if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    const QStringList filters = nameFilters(Filter);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            throw cancelSelected();
        const QString path = dialog.selectedFiles().constFirst();
        const QString why = refusal(path, Flags, open);
        if (why.isEmpty()) {
            choose(path, filterIndex(filters, dialog.selectedNameFilter()));
            return;
        }
        // Like the system dialog, a refused choice is explained and the user picks
        // again in the same dialog, still in the folder they were browsing.
        QMessageBox::warning(&dialog, DialogTitle, why);
    }
}
