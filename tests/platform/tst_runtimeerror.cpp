// Each named run-time error carries its fixed number and description: handlers
// and other programs tell errors apart by these.

#include "RuntimeError.h"

#include <QTest>

#include <functional>

class tst_RuntimeError : public QObject {
    Q_OBJECT
private slots:
    void numbersAndDescriptions_data();
    void numbersAndDescriptions();
};

void tst_RuntimeError::numbersAndDescriptions_data()
{
    QTest::addColumn<std::function<RuntimeError()>>("make");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("invalid call") << std::function(invalidProcedureCall) << 5
                                  << "Invalid procedure call or argument";
    QTest::newRow("subscript") << std::function(subscriptOutOfRange) << 9 << "Subscript out of range";
    QTest::newRow("type mismatch") << std::function(typeMismatch) << 13 << "Type mismatch";
    QTest::newRow("object not set") << std::function(objectNotSet) << 91
                                    << "Object variable or With block variable not set";
    QTest::newRow("cannot create") << std::function(cannotCreateObject) << 429
                                   << "ActiveX component can't create object";
    QTest::newRow("not supported") << std::function(notSupported) << 438
                                   << "Object doesn't support this property or method";
    QTest::newRow("cancel") << std::function(cancelSelected) << 32755 << "Cancel was selected.";
}

void tst_RuntimeError::numbersAndDescriptions()
{
    QFETCH(std::function<RuntimeError()>, make);
    QFETCH(int, number);
    QFETCH(QString, description);
    const RuntimeError error = make();
    QCOMPARE(error.number(), number);
    QCOMPARE(QString::fromStdString(error.what()), description);
}

QTEST_GUILESS_MAIN(tst_RuntimeError)
#include "tst_runtimeerror.moc"
