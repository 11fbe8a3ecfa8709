#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The toolkit's own Chinese catalogue lacks the file kinds the file dialog's
// type column shows; these few fill the gap.
class FileKindTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        const QLatin1String source(sourceText);
        if (source == QLatin1String("Folder"))
            return QStringLiteral("文件夹");
        if (source == QLatin1String("File"))
            return QStringLiteral("文件");
        if (source == QLatin1String("%1 File"))
            return QStringLiteral("%1 文件");
        if (source == QLatin1String("Drive"))
            return QStringLiteral("驱动器");
        return {};
    }
};

}

bool installQtTranslations(QCoreApplication& app)
{
    // The interface is Chinese whatever the desktop's language, so the toolkit's
    // texts, and the dates and sizes its dialogs show, follow it rather than the
    // desktop's locale.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    QCoreApplication::installTranslator(new FileKindTranslator(&app));
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
