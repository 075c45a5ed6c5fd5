#include "app/CommandLineInfo.h"
#include "app/CommandLineTool.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void onlyAPlainFileNameOpens_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("fileName");

        QTest::newRow("empty") << QStringList() << int(CCommandLineInfo::FileNothing) << QString();
        QTest::newRow("file") << QStringList{"sales.vmx"} << int(CCommandLineInfo::FileOpen)
                              << "sales.vmx";
        QTest::newRow("absolute path is no switch")
            << QStringList{"/home/ann/sales.vmx"} << int(CCommandLineInfo::FileOpen)
            << "/home/ann/sales.vmx";
        QTest::newRow("file in the root folder named like no switch")
            << QStringList{"/pa.vmx"} << int(CCommandLineInfo::FileOpen) << "/pa.vmx";
        QTest::newRow("first file wins")
            << QStringList{"a.vmx", "b.vmx"} << int(CCommandLineInfo::FileOpen) << "a.vmx";
        QTest::newRow("print") << QStringList{"/p", "sales.vmx"} << int(CCommandLineInfo::FilePrint)
                               << "sales.vmx";
        QTest::newRow("print after the file")
            << QStringList{"sales.vmx", "/P"} << int(CCommandLineInfo::FilePrint) << "sales.vmx";
        QTest::newRow("print with a dash")
            << QStringList{"-p", "sales.vmx"} << int(CCommandLineInfo::FilePrint) << "sales.vmx";
        QTest::newRow("print to")
            << QStringList{"/pt", "sales.vmx", "printer", "driver", "port"}
            << int(CCommandLineInfo::FilePrintTo) << "sales.vmx";
        QTest::newRow("dde") << QStringList{"/dde"} << int(CCommandLineInfo::FileDDE) << QString();
        QTest::newRow("unregister")
            << QStringList{"/Unregister"} << int(CCommandLineInfo::AppUnregister) << QString();
        QTest::newRow("unknown switch")
            << QStringList{"-verbose", "sales.vmx"} << int(CCommandLineInfo::FileNothing)
            << "sales.vmx";
        QTest::newRow("embedding")
            << QStringList{"/Embedding", "sales.vmx"} << int(CCommandLineInfo::FileNothing)
            << "sales.vmx";
    }
    void onlyAPlainFileNameOpens()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, command);
        QFETCH(QString, fileName);
        CCommandLineInfo info;
        info.Parse(arguments);
        QCOMPARE(int(info.m_shellCommand), command);
        QCOMPARE(info.m_fileName, fileName);
    }

    // Only the tool's own options leave the desktop rules.
    void theToolTakesOnlyItsOwnOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("tool");
        QTest::newRow("file") << QStringList{"sales.vmx"} << false;
        QTest::newRow("print switch") << QStringList{"/p", "sales.vmx"} << false;
        QTest::newRow("unknown switch") << QStringList{"--verbose", "sales.vmx"} << false;
        QTest::newRow("export") << QStringList{"--export", "sales.vmx", "sales.png"} << true;
        QTest::newRow("export with its value attached")
            << QStringList{"--export=sales.vmx", "sales.png"} << true;
        QTest::newRow("script") << QStringList{"--export-sql", "--dsn", "Sales", "sales.sql"} << true;
        QTest::newRow("script with its value attached")
            << QStringList{"--export-sql=sales.vmx", "sales.sql"} << true;
        QTest::newRow("help") << QStringList{"-h"} << true;
        QTest::newRow("version after a file") << QStringList{"sales.vmx", "--version"} << true;
    }
    void theToolTakesOnlyItsOwnOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, tool);
        QCOMPARE(CommandLineTool::IsRequested(arguments), tool);
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
