#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The About box: program name, version, author and the maker's web address. Its
// texts are filled in when it is built, and each About command builds a new one.
class fAbout : public QDialog {
    Q_OBJECT
public:
    explicit fAbout(QWidget* parent = nullptr);

    QLabel* lblTitle = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblVer = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblAuthor = nullptr;
    QPlainTextEdit* txtInfo = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* Image3 = nullptr;
    QFrame* Shape1 = nullptr;

    void cmdOK_Click();

private:
    void Form_Load();
};
