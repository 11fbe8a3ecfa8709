#include "ScriptedFileDialog.h"

#include "FileDialogDriver.h"

#include "cFile.h"
#include "FieldCodes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::unique_ptr<cField> board(int w, int h, int mines, quint32 seed)
{
    auto field = std::make_unique<cField>();
    field->Randomize(seed);
    field->Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
    return field;
}

// The mines of a field in index order, "1" for a mine.
QByteArray layout(cField& field)
{
    QByteArray mines;
    for (int i = 0; i < field.cellCount(); ++i)
        mines += field.Cell(i)->Mine() ? '1' : '0';
    return mines;
}

QByteArray rows(const QByteArray& line, int count)
{
    return (line + "\r\n").repeated(count);
}

bool save(cField* field, const QString& path)
{
    ScriptedFileDialog cdl({path});
    return cFile().SaveFld(field, cdl);
}

std::unique_ptr<cField> load(const QString& path)
{
    ScriptedFileDialog cdl({path});
    return cFile().LoadFld(cdl);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Caps the size of files this process may write, so that a write fails part way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

// A small file system of its own, so that a test can fill it up; mounting needs
// an administrator, as CI runs.
class TmpfsMount {
public:
    explicit TmpfsMount(int kib)
    {
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0755";
        m_mounted = m_dir.isValid()
                    && ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                               options.constData())
                           == 0;
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Fills the file system holding folder until only leaveFree bytes are left.
bool fillUp(const QString& folder, qint64 leaveFree)
{
    QFile filler(QDir(folder).filePath("filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    return filler.resize(filler.size() - leaveFree);
}

// The player who saves: the test itself, or, when it runs as an administrator who
// may write anywhere, an ordinary user in a process of its own.
constexpr uid_t PlayerId = 65534;
bool asPlayer(const std::function<bool()>& step)
{
    if (::geteuid() != 0)
        return step();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(PlayerId) == 0 && ::setuid(PlayerId) == 0 && step();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
           && WEXITSTATUS(status) == 0;
}

bool giveToPlayer(const QString& path)
{
    return ::geteuid() != 0 || ::chown(QFile::encodeName(path).constData(), PlayerId, PlayerId) == 0;
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
}
}

class tst_cFile : public QObject {
    Q_OBJECT
private slots:
    void dialogSettings_data();
    void dialogSettings();
    void cancel_data();
    void cancel();
    void saveWritesExactBytes();
    void roundTrip_data();
    void roundTrip();
    void loads_data();
    void loads();
    void refuses_data();
    void refuses();
    void refusesUnreadable_data();
    void refusesUnreadable();
    void saveRefusesFieldWithoutBoard();
    void saveFailureKeepsOldFile_data();
    void saveFailureKeepsOldFile();
    void saveFailingHalfWayKeepsOldFile();
    void saveOntoFullDisk_data();
    void saveOntoFullDisk();
    void saveOverWritableFileInReadOnlyFolder();
    void saveKeepsMode_data();
    void saveKeepsMode();
    void saveKeepsHardLinks();
    void saveThroughLinks_data();
    void saveThroughLinks();
    void realDialogs();
    void realDialogCancel_data();
    void realDialogCancel();
};

void tst_cFile::dialogSettings_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("title");
    QTest::newRow("save") << false << "All files (*.*)|*.*|MineField files (*.fld)|*.fld" << 0x8806
                          << "Select the destination file ";
    QTest::newRow("load") << true << "All files (*.*)|*.*|MineFiled files (*.fld)|*.fld" << 0x9004
                          << "Select source file ";
}

// The window hands in the same dialog every time, so each setting must be made
// afresh, whatever the dialog held before.
void tst_cFile::dialogSettings()
{
    QFETCH(bool, open);
    QFETCH(QString, filter);
    QFETCH(int, flags);
    QFETCH(QString, title);
    ScriptedFileDialog cdl;
    cdl.Filter = "x|*.x";
    cdl.FilterIndex = 1;
    cdl.DefaultExt = "txt";
    cdl.Flags = 1;
    cdl.DialogTitle = "old";
    cdl.FileName = "/somewhere/old.fld";
    auto field = board(9, 9, 10, 1);
    if (open)
        QVERIFY(!cFile().LoadFld(cdl));
    else
        QVERIFY(!cFile().SaveFld(field.get(), cdl));

    QCOMPARE(cdl.shown.size(), 1);
    const ScriptedFileDialog::Shown& shown = cdl.shown.at(0);
    QCOMPARE(shown.open, open);
    QCOMPARE(shown.Filter, filter);
    QCOMPARE(shown.FilterIndex, 2);
    QCOMPARE(shown.DefaultExt, QString("fld"));
    QCOMPARE(shown.Flags, flags);
    QCOMPARE(shown.DialogTitle, title);
    QCOMPARE(shown.FileName, QString("MField"));
}

void tst_cFile::cancel_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("save") << false;
    QTest::newRow("load") << true;
}

// A cancelled dialog ends the operation: nothing is written or read, not even
// the proposed "MField" in the current folder.
void tst_cFile::cancel()
{
    QFETCH(bool, open);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const QByteArray bait = rows("00000000", 1);
    QVERIFY(write("MField", bait));
    QVERIFY(write("MField.fld", bait));

    ScriptedFileDialog cdl;
    auto field = board(9, 9, 10, 2);
    if (open)
        QVERIFY(!cFile().LoadFld(cdl));
    else
        QVERIFY(!cFile().SaveFld(field.get(), cdl));
    const QStringList left = QDir().entryList(QDir::Files | QDir::NoDotAndDotDot);
    QVERIFY(QDir::setCurrent(before));

    QCOMPARE(cdl.shown.size(), 1);
    QCOMPARE(left, QStringList({"MField", "MField.fld"}));
    QCOMPARE(contents(dir.filePath("MField")), bait);
    QCOMPARE(contents(dir.filePath("MField.fld")), bait);
}

void tst_cFile::saveWritesExactBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MField.fld");
    // A longer older file must not leave its tail behind.
    QVERIFY(write(path, QByteArray(1000, 'x')));
    auto field = board(8, 2, 0, 3);
    for (int i : {0, 7, 10})
        field->Cell(i)->setMine(true);
    QVERIFY(save(field.get(), path));
    QCOMPARE(contents(path), QByteArray("10000001\r\n00100000\r\n"));
}

void tst_cFile::roundTrip_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("mines");
    QTest::newRow("8x1 empty") << 8 << 1 << 0;
    QTest::newRow("8x1 one safe cell") << 8 << 1 << 7;
    QTest::newRow("9x9") << 9 << 9 << 10;
    QTest::newRow("16x16") << 16 << 16 << 40;
    QTest::newRow("30x16") << 30 << 16 << 99;
    QTest::newRow("30x16 one safe cell") << 30 << 16 << 479;
    QTest::newRow("255x1") << 255 << 1 << 120;
    QTest::newRow("8x166") << 8 << 166 << 600;
    QTest::newRow("100x50 one mine") << 100 << 50 << 1;
    QTest::newRow("137x91") << 137 << 91 << 2500;
    QTest::newRow("255x166 empty") << 255 << 166 << 0;
    QTest::newRow("255x166") << 255 << 166 << 8000;
    QTest::newRow("255x166 one safe cell") << 255 << 166 << 255 * 166 - 1;
}

// Only the mines travel: what was opened or flagged on the saved board is gone,
// and the loaded board is ready to play with the same numbers and neighbours.
void tst_cFile::roundTrip()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, mines);
    auto original = board(w, h, mines, static_cast<quint32>(w * 1000 + h));
    const QByteArray mineLayout = layout(*original);
    QCOMPARE(mineLayout.count('1'), mines);
    original->ChkCell(original->FreePool().front());
    const qsizetype firstMine = mineLayout.indexOf('1');
    if (firstMine >= 0)
        original->Cell(static_cast<int>(firstMine))->Check(CellAction::ToggleFlag, *original);

    QTemporaryDir dir;
    const QString path = dir.filePath("MField.fld");
    QVERIFY(save(original.get(), path));
    const QByteArray bytes = contents(path);
    QCOMPARE(bytes.size(), qsizetype(h) * (w + 2));
    for (int y = 0; y < h; ++y) {
        QCOMPARE(bytes.mid(qsizetype(y) * (w + 2), w), mineLayout.mid(qsizetype(y) * w, w));
        QCOMPARE(bytes.mid(qsizetype(y) * (w + 2) + w, 2), QByteArray("\r\n"));
    }

    auto loaded = load(path);
    QVERIFY(loaded);
    QCOMPARE(loaded->Xx(), w);
    QCOMPARE(loaded->Yy(), h);
    QCOMPARE(loaded->cellCount(), w * h);
    QCOMPARE(layout(*loaded), mineLayout);
    std::vector<int> safe;
    for (int i = 0; i < w * h; ++i) {
        cCell* was = original->Cell(i);
        cCell* is = loaded->Cell(i);
        QCOMPARE(is->Status(), CellStatus::Covered);
        QCOMPARE(is->X(), i % w);
        QCOMPARE(is->Y(), i / w);
        QCOMPARE(is->Nr(), was->Nr());
        QCOMPARE(is->Ngh(), was->Ngh());
        if (!is->Mine())
            safe.push_back(i);
    }
    QCOMPARE(loaded->MTot(), mines);
    QCOMPARE(loaded->MCnt(), mines);
    QCOMPARE(loaded->FreePool(), safe);
    QCOMPARE(loaded->Tag, QString("MField.fld"));

    // Saving the loaded board gives the same file again.
    const QString again = dir.filePath("again.fld");
    QVERIFY(save(loaded.get(), again));
    QCOMPARE(contents(again), bytes);
}

void tst_cFile::loads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<QByteArray>("mines");  // in index order
    QTest::newRow("8x1") << rows("00000000", 1) << 8 << 1 << QByteArray("00000000");
    QTest::newRow("digits 2 to 9 are mines")
        << rows("12345678", 1) + rows("90000000", 1) << 8 << 2 << QByteArray("1111111110000000");
    QTest::newRow("last byte after the final line end is never read")
        << rows("01000000", 1) + "x" << 8 << 1 << QByteArray("01000000");
    QTest::newRow("a lone CR as the last byte") << rows("00000010", 1) + "\r" << 8 << 1
                                                << QByteArray("00000010");
    QTest::newRow("255 wide") << rows("1" + QByteArray(254, '0'), 1) << 255 << 1
                              << "1" + QByteArray(254, '0');
    QTest::newRow("166 high") << rows("00000000", 165) + rows("00000001", 1) << 8 << 166
                              << QByteArray(165 * 8 + 7, '0') + "1";
    // Rows are counted by line ends and cells by whole rows, so a double-length
    // line followed by an empty one still makes a full board.
    QTest::newRow("two rows on a line, then an empty line")
        << rows("00000000", 1) + rows("0000000000000001", 1) + "\r\n" << 8 << 3
        << QByteArray("000000000000000000000001");
    // The longest file there can be: it must not be mistaken for an overlong one.
    QTest::newRow("largest board plus the unread byte")
        << rows(QByteArray(255, '0'), 166) + "x" << 255 << 166 << QByteArray(255 * 166, '0');
}

void tst_cFile::loads()
{
    QFETCH(QByteArray, file);
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(QByteArray, mines);
    QTemporaryDir dir;
    const QString path = dir.filePath("board.fld");
    QVERIFY(write(path, file));
    auto field = load(path);
    QVERIFY(field);
    QCOMPARE(field->Xx(), w);
    QCOMPARE(field->Yy(), h);
    QCOMPARE(layout(*field), mines);
    QCOMPARE(field->MTot(), static_cast<int>(mines.count('1')));
    QCOMPARE(field->MCnt(), field->MTot());
    QCOMPARE(field->Tag, QString("board.fld"));

    // Saved again, every mine is written as "1" and nothing past the board.
    QByteArray expected;
    for (int y = 0; y < h; ++y)
        expected += mines.mid(qsizetype(y) * w, w) + "\r\n";
    QCOMPARE(cFile::FormatFld(*field), expected);
}

void tst_cFile::refuses_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray row = "00000000";
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("one byte") << QByteArray("0");
    QTest::newRow("only a line end") << QByteArray("\r\n");
    QTest::newRow("starts with a line end") << "\r\n" + rows(row, 2);
    QTest::newRow("width 7") << rows("0000000", 3);
    QTest::newRow("width 256") << rows(QByteArray(256, '0'), 2);
    QTest::newRow("height 167") << rows(row, 167);
    QTest::newRow("later line shorter") << rows(row, 1) + rows("0000000", 1);
    QTest::newRow("later line longer") << rows(row, 1) + rows("000000000", 1);
    QTest::newRow("later line longer by a whole row") << rows(row, 1) + rows(row + row, 1);
    QTest::newRow("no final line end") << rows(row, 1) + row;
    QTest::newRow("one line without line end") << row + "0";
    QTest::newRow("empty line after the first") << rows(row, 1) + "\r\n";
    QTest::newRow("empty line between rows") << rows(row, 1) + "\r\n" + rows(row, 1);
    QTest::newRow("a letter") << rows("0000a000", 2);
    QTest::newRow("a space") << rows("0000 000", 2);
    QTest::newRow("a sign") << rows("-1000000", 1);
    QTest::newRow("a NUL byte") << rows(QByteArray("0000\0" "000", 8), 1);
    QTest::newRow("LF only") << QByteArray("00000000\n00000000\n");
    QTest::newRow("LF CR") << QByteArray("00000000\n\r00000000\n\r");
    QTest::newRow("a lone CR") << QByteArray("0000\r0000\r\n");
    QTest::newRow("every cell a mine") << rows("11111111", 2);
    QTest::newRow("every cell a mine, other digits") << rows("91234567", 1);
    QTest::newRow("largest board, every cell a mine") << rows(QByteArray(255, '1'), 166);
}

void tst_cFile::refuses()
{
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath("board.fld");
    QVERIFY(write(path, file));
    QVERIFY(!load(path));
}

void tst_cFile::refusesUnreadable_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing file") << "missing.fld";
    // Nothing ever writes to it: opening it for reading would wait for ever.
    QTest::newRow("named pipe") << "pipe.fld";
    QTest::newRow("a folder") << ".";
    // Endless: a reader that takes the whole file in never comes back.
    QTest::newRow("endless device") << "/dev/zero";
}

void tst_cFile::refusesUnreadable()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    if (path == "pipe.fld")
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(path)).constData(), 0644), 0);
    QVERIFY(!load(QDir(dir.path()).filePath(path)));
}

void tst_cFile::saveRefusesFieldWithoutBoard()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MField.fld");
    cField blank;
    for (cField* field : {static_cast<cField*>(nullptr), &blank}) {
        ScriptedFileDialog cdl({path});
        QVERIFY(!cFile().SaveFld(field, cdl));
        QVERIFY(cdl.shown.isEmpty());
        QVERIFY(!QFile::exists(path));
    }
}

void tst_cFile::saveFailureKeepsOldFile_data()
{
    QTest::addColumn<bool>("destinationIsFolder");
    QTest::newRow("folder of the destination is a file") << false;
    QTest::newRow("destination is a folder") << true;
}

void tst_cFile::saveFailureKeepsOldFile()
{
    QFETCH(bool, destinationIsFolder);
    QTemporaryDir dir;
    const QByteArray old = "old content";
    QString destination;
    if (destinationIsFolder) {
        destination = dir.filePath("MField.fld");
        QVERIFY(QDir(dir.path()).mkdir("MField.fld"));
        QVERIFY(write(dir.filePath("MField.fld/inside"), old));
    } else {
        QVERIFY(write(dir.filePath("plain"), old));
        destination = dir.filePath("plain/MField.fld");
    }
    auto field = board(30, 16, 99, 4);
    QVERIFY(!save(field.get(), destination));
    if (destinationIsFolder)
        QCOMPARE(contents(dir.filePath("MField.fld/inside")), old);
    else
        QCOMPARE(contents(dir.filePath("plain")), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

// The disk fills up part way through: the older file of that name stays as it
// was, and no partly written file is left beside it.
void tst_cFile::saveFailingHalfWayKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MField.fld");
    const QByteArray old = rows("00000001", 1);
    QVERIFY(write(path, old));
    auto field = board(255, 166, 5000, 5);
    {
        FileSizeLimit limit(4096);
        QVERIFY(!save(field.get(), path));
    }
    QCOMPARE(contents(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"MField.fld"});
    // Without the limit the same save goes through.
    QVERIFY(save(field.get(), path));
    QCOMPARE(contents(path).size(), 166 * 257);
}

void tst_cFile::saveOntoFullDisk_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("freeBytes");
    QTest::addColumn<bool>("folderReadOnly");
    QTest::newRow("8 x 1, no room") << 8 << 1 << 0 << false;
    QTest::newRow("expert, no room") << 30 << 16 << 0 << false;
    QTest::newRow("15 KiB, no room") << 120 << 130 << 0 << false;
    QTest::newRow("15 KiB, 4 KiB free") << 120 << 130 << 4096 << false;
    QTest::newRow("15 KiB in place, no room") << 120 << 130 << 0 << true;
    QTest::newRow("15 KiB in place, 4 KiB free") << 120 << 130 << 4096 << true;
}

// A save that does not fit reports failure and leaves the older file byte for
// byte, whether it goes through a temporary file or, in a folder that takes no new
// files, into the file itself.
void tst_cFile::saveOntoFullDisk()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, freeBytes);
    QFETCH(bool, folderReadOnly);
    if (::geteuid() != 0)
        QSKIP("filling a file system of its own needs an administrator to mount it");
    TmpfsMount disk(128);
    QVERIFY(disk.mounted());
    const QString path = disk.filePath("MField.fld");
    const QByteArray old = rows("00000001", 3);
    QVERIFY(write(path, old));
    QVERIFY(giveToPlayer(path));
    QVERIFY(fillUp(disk.path(), freeBytes));
    if (folderReadOnly)
        QVERIFY(QFile::setPermissions(disk.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                                       | QFile::ExeOther));
    else
        QVERIFY(giveToPlayer(disk.path()));
    auto field = board(w, h, w * h / 5, 6);
    QVERIFY(!asPlayer([&] { return save(field.get(), path); }));
    QCOMPARE(contents(path), old);
    QCOMPARE(entries(disk.path()), (QStringList{"MField.fld", "filler"}));
}

// Only the file is the player's: it is rewritten where it stands.
void tst_cFile::saveOverWritableFileInReadOnlyFolder()
{
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadOther | QFile::ExeOther));
    const QString folder = dir.filePath("locked");
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    const QString path = QDir(folder).filePath("MField.fld");
    QVERIFY(write(path, rows("0000000000000001", 40)));
    QVERIFY(giveToPlayer(path));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::ExeOther));
    for (const auto& [w, h] : {std::pair{30, 16}, std::pair{8, 2}}) {
        auto field = board(w, h, 10, 7);
        QVERIFY(asPlayer([&] { return save(field.get(), path); }));
        QCOMPARE(contents(path), cFile::FormatFld(*field));
        QCOMPARE(entries(folder), QStringList{"MField.fld"});
    }
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void tst_cFile::saveKeepsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("0644") << 0644;
    QTest::newRow("0600") << 0600;
    QTest::newRow("0664") << 0664;
    QTest::newRow("read-only 0444") << 0444;
}

// Saving over a file keeps what the player set on it; a read-only file can be
// saved over only by an administrator, and stays read-only.
void tst_cFile::saveKeepsMode()
{
    QFETCH(int, mode);
    QTemporaryDir dir;
    const QString path = dir.filePath("MField.fld");
    const QByteArray old = rows("00000001", 2);
    QVERIFY(write(path, old));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
    auto field = board(30, 16, 99, 8);
    const bool allowed = (mode & 0200) || ::geteuid() == 0;
    QCOMPARE(save(field.get(), path), allowed);
    QCOMPARE(contents(path), allowed ? cFile::FormatFld(*field) : old);
    QCOMPARE(modeOf(path), static_cast<mode_t>(mode));
}

// Every name of a hard-linked file shows the saved board.
void tst_cFile::saveKeepsHardLinks()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("MField.fld"), other = dir.filePath("linked.fld");
    QVERIFY(write(path, rows("00000001", 2)));
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    auto field = board(30, 16, 99, 9);
    QVERIFY(save(field.get(), path));
    QCOMPARE(contents(other), cFile::FormatFld(*field));
    QCOMPARE(entries(dir.path()), (QStringList{"MField.fld", "linked.fld"}));
}

void tst_cFile::saveThroughLinks_data()
{
    QTest::addColumn<bool>("othersLink");
    QTest::newRow("the player's own link is followed") << false;
    QTest::newRow("another user's link is not") << true;
}

// A link another user planted where the player saves would turn the save into an
// overwrite of whatever it points at; the player's own link (a dotfile manager's)
// is followed as before.
void tst_cFile::saveThroughLinks()
{
    QFETCH(bool, othersLink);
    if (othersLink && ::geteuid() != 0)
        QSKIP("needs root to make another user's link");
    QTemporaryDir dir;
    const QString target = dir.filePath("target.fld"), path = dir.filePath("MField.fld");
    const QByteArray old = rows("00000001", 2);
    QVERIFY(write(target, old));
    QVERIFY(QFile::link(target, path));
    constexpr uid_t Nobody = 65534;
    if (othersLink)
        QCOMPARE(::lchown(QFile::encodeName(path).constData(), Nobody, Nobody), 0);
    auto field = board(30, 16, 99, 10);
    QCOMPARE(save(field.get(), path), !othersLink);
    QCOMPARE(contents(target), othersLink ? old : cFile::FormatFld(*field));
    QVERIFY(QFileInfo(path).isSymLink());
}

// Through the real dialogs: the proposed name gets the default extension, and the
// loaded field takes the file's name as its tag.
void tst_cFile::realDialogs()
{
    QTemporaryDir dir;
    auto field = board(30, 16, 99, 6);
    CommonDialog cdl;
    const auto inDir = [&](QFileDialog& d) {
        d.setDirectory(dir.path());
        FileDialogDriver::confirm(d);
    };
    {
        FileDialogDriver driver({inDir});
        QVERIFY(cFile().SaveFld(field.get(), cdl));
        QCOMPARE(driver.unexpected, 0);
    }
    const QString path = dir.filePath("MField.fld");
    QCOMPARE(contents(path).size(), 16 * 32);
    {
        FileDialogDriver driver({inDir});
        auto loaded = cFile().LoadFld(cdl);
        QVERIFY(loaded);
        QCOMPARE(driver.unexpected, 0);
        QCOMPARE(loaded->Tag, QString("MField.fld"));
        QCOMPARE(layout(*loaded), layout(*field));
    }
}

void tst_cFile::realDialogCancel_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("save") << false;
    QTest::newRow("load") << true;
}

void tst_cFile::realDialogCancel()
{
    QFETCH(bool, open);
    auto field = board(9, 9, 10, 7);
    CommonDialog cdl;
    FileDialogDriver driver({FileDialogDriver::reject()});
    if (open)
        QVERIFY(!cFile().LoadFld(cdl));
    else
        QVERIFY(!cFile().SaveFld(field.get(), cdl));
    QCOMPARE(driver.unexpected, 0);
}

QTEST_MAIN(tst_cFile)
#include "tst_fieldfile.moc"
