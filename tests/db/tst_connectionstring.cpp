#include "db/ConnectionString.h"

#include <QtTest>

class TestConnectionString : public QObject
{
    Q_OBJECT

private slots:
    // What follows "DSN=" on a diagram file's data-source line.
    void theFileKeepsTheStringWithoutItsPassword_data()
    {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("dsn");
        QTest::addColumn<QString>("kept");
        QTest::newRow("a data source alone") << "DSN=Sales" << "Sales" << "Sales";
        QTest::newRow("nothing sent") << "" << "Sales" << "Sales";
        QTest::newRow("user kept, password not") << "DSN=Sales;UID=bob;PWD=secret" << "Sales"
                                                 << "Sales;UID=bob";
        QTest::newRow("password in any case") << "DSN=Sales;pwd=a;Password=b;UID=bob" << "Sales"
                                              << "Sales;UID=bob";
        QTest::newRow("data source moved first") << "UID=bob;DSN=Sales" << "Sales"
                                                 << "Sales;UID=bob";
        QTest::newRow("lower-case keyword") << "dsn=Sales;UID=bob" << "Sales" << "Sales;UID=bob";
        QTest::newRow("a driver named directly")
            << "DRIVER={SQLite3};Database=/data/x.db;PWD=s" << "" << ";DRIVER={SQLite3};Database=/data/x.db";
        QTest::newRow("an empty data source before a driver")
            << "DSN=;DRIVER={SQLite3};Database=/data/x.db" << "" << ";DRIVER={SQLite3};Database=/data/x.db";
        QTest::newRow("braces keep a semicolon") << "DSN=Sales;PWD={a;b};UID=bob" << "Sales"
                                                 << "Sales;UID=bob";
        QTest::newRow("an open brace keeps the name only") << "DSN=Sales;PWD={a;b" << "Sales" << "Sales";
        QTest::newRow("a tab before the password") << "DSN=Sales;\tPWD=secret;UID=bob" << "Sales"
                                                   << "Sales;UID=bob";
        QTest::newRow("a tab before a braced password") << "DSN=Sales;PWD=\t{a;b};UID=bob" << "Sales"
                                                        << "Sales;UID=bob";
    }
    void theFileKeepsTheStringWithoutItsPassword()
    {
        QFETCH(QString, sent);
        QFETCH(QString, dsn);
        QFETCH(QString, kept);
        QCOMPARE(QString::fromStdString(
                     ConnectionString::ForDiagramFile(sent.toStdString(), dsn.toStdString())),
                 kept);
    }

    // The driver manager takes an empty data source name first for its
    // default data source and ignores a driver named after it.
    void aDriverNamedDirectlyIsSentWithoutTheEmptyDataSource_data()
    {
        QTest::addColumn<QString>("fromFile");
        QTest::addColumn<QString>("sent");
        QTest::newRow("driver after an empty data source")
            << "DSN=;DRIVER={SQLite3};Database=/x.db" << "DRIVER={SQLite3};Database=/x.db";
        QTest::newRow("lower-case keyword") << "dsn=;Driver=Fake;UID=bob" << "Driver=Fake;UID=bob";
        QTest::newRow("a named data source stays") << "DSN=Sales;DRIVER={SQLite3}"
                                                   << "DSN=Sales;DRIVER={SQLite3}";
        QTest::newRow("no driver: nothing to leave out") << "DSN=;UID=bob" << "DSN=;UID=bob";
        QTest::newRow("a data source alone") << "DSN=Sales" << "DSN=Sales";
        QTest::newRow("an open brace is sent as it stands") << "DSN=;DRIVER={SQLite3"
                                                            << "DSN=;DRIVER={SQLite3";
    }
    void aDriverNamedDirectlyIsSentWithoutTheEmptyDataSource()
    {
        QFETCH(QString, fromFile);
        QFETCH(QString, sent);
        QCOMPARE(QString::fromStdString(ConnectionString::ForDriverManager(fromFile.toStdString())),
                 sent);
    }

    // A string from a file connects at once only when its driver reads every
    // key harmlessly, no value could hide a setting (the SQLite driver finds
    // one after any ";", braces or not) and no database file would be made.
    void aStringFromAFileNeedsConsentUnlessHarmless_data()
    {
        QTest::addColumn<QString>("fromFile");
        QTest::addColumn<bool>("consent");
        const QString db = QStringLiteral(__FILE__); // a file that exists
        QTest::newRow("data source") << "DSN=Sales" << false;
        QTest::newRow("data source and user") << "DSN=Sales;UID=bob" << false;
        QTest::newRow("installed driver") << "DSN=;DRIVER={SQLite3};Database=" + db << false;
        QTest::newRow("driver by path") << "DSN=;DRIVER=/tmp/evil.so" << true;
        QTest::newRow("driver by path after a data source") << "DSN=Sales;DRIVER=/tmp/evil.so" << true;
        // The driver manager loads the library of each of these (measured).
        QTest::newRow("a second driver, by path") << "DSN =;DRIVER=SQLite3 ;DRIVER=/tmp/evil.so" << true;
        QTest::newRow("a driver after a braced value")
            << "DSN=;UID={a}}};DRIVER=/tmp/evil.so" << true;
        QTest::newRow("a driver after an empty pair") << "DSN=;UID={a};;DRIVER=/tmp/evil.so" << true;
        QTest::newRow("driver not installed") << "DSN=;DRIVER={Other}" << true;
        QTest::newRow("file data source") << "DSN=;FILEDSN=/tmp/evil.dsn" << true;
        QTest::newRow("saved file data source") << "DSN=Sales;SAVEFILE=/tmp/x.dsn" << true;
        QTest::newRow("a driver's extension") << "DSN=Sales;LoadExt=/tmp/evil.so" << true;
        QTest::newRow("a setting of any other name") << "DSN=Sales;Timeout=5" << true;
        QTest::newRow("no data source") << "DSN=" << true;
        QTest::newRow("an open brace") << "DSN=Sales;UID={bob" << true;
        QTest::newRow("an equals sign in a value") << "DSN=Sales;UID=a=b" << true;
        QTest::newRow("a tab before a setting") << "DSN=Sales;\tLoadExt=/tmp/evil.so" << true;
        QTest::newRow("a data source in another case") << "DSN=sales;Database=" + db << false;
        QTest::newRow("a missing database file") << "DSN=Sales;Database=" + db + ".gone" << true;
        QTest::newRow("PostgreSQL's place and user")
            << "DSN=Pg;Server=db.example;Port=5432;Database=sales;Username=bob" << false;
        QTest::newRow("PostgreSQL's settings of its own") << "DSN=Pg;ConnSettings=set x" << true;
        QTest::newRow("a database for an unknown driver") << "DSN=;DRIVER=Fake;Database=sales" << true;
    }
    void aStringFromAFileNeedsConsentUnlessHarmless()
    {
        QFETCH(QString, fromFile);
        QFETCH(bool, consent);
        ConnectionString::CDriverCatalog catalog;
        catalog.m_drivers = {{"SQLite3", "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"},
                             {"PostgreSQL Unicode", "psqlodbcw.so"},
                             {"Fake", "/build/libvellumix_fakeodbc.so"}};
        catalog.m_sources = {{"Sales", "SQLite3"}, {"Pg", "PostgreSQL Unicode"}};
        const std::string reason = ConnectionString::ConsentReason(fromFile.toStdString(), catalog);
        QVERIFY2(!reason.empty() == consent, reason.c_str());
    }
};

QTEST_APPLESS_MAIN(TestConnectionString)
#include "tst_connectionstring.moc"
