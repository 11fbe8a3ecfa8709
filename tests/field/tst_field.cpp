#include <QTest>
class T : public QObject { Q_OBJECT private slots: void t() {} };
QTEST_MAIN(T)
#include "tst_field.moc"
