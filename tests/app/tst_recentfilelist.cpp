#include "app/RecentFileList.h"

#include <QtTest>

class TestRecentFileList : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settingsDir;

private slots:
    void fifthFileDropsTheOldest()
    {
        CRecentFileList list;
        for (int i = 1; i <= 5; ++i)
            list.Add(QStringLiteral("/data/f%1.vmx").arg(i));
        QCOMPARE(list.Files(), (QStringList{"/data/f5.vmx", "/data/f4.vmx", "/data/f3.vmx",
                                            "/data/f2.vmx"}));
    }

    void reusedFileMovesToTheTopOnce()
    {
        CRecentFileList list;
        list.Add("/data/a.vmx");
        list.Add("/data/b.vmx");
        list.Add("/data/c.vmx");
        list.Add("/data/./a.vmx");
        QCOMPARE(list.Files(), (QStringList{"/data/a.vmx", "/data/c.vmx", "/data/b.vmx"}));
        list.Remove(1);
        list.Remove(7);
        QCOMPARE(list.Files(), (QStringList{"/data/a.vmx", "/data/b.vmx"}));
    }

    void abbreviation_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "/home/ann/sales.vmx" << "/home/ann/sales.vmx";
        QTest::newRow("exactly 30") << "/home/ann/projects/db/abc1.vmx"
                                    << "/home/ann/projects/db/abc1.vmx";
        QTest::newRow("leading folders go")
            << "/home/ann/projects/2024/customer/sales.vmx" << "/.../2024/customer/sales.vmx";
        QTest::newRow("only the name fits")
            << "/home/ann/a-very-long-folder-name/sales-diagram.vmx" << "/.../sales-diagram.vmx";
        QTest::newRow("name alone too long")
            << "/home/ann/an-extremely-long-diagram-file-name.vmx"
            << "an-extremely-long-diagram-file-name.vmx";
    }
    void abbreviation()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        const QString result = CRecentFileList::AbbreviateName(path, 30);
        QCOMPARE(result, shown);
        QVERIFY(result.size() <= 30 || !result.contains('/'));
    }

    void menuTextNumbersAndEscapes()
    {
        CRecentFileList list;
        list.Add("/data/R&D.vmx");
        list.Add("/data/sales.vmx");
        QCOMPARE(list.MenuText(0), QString("&1 /data/sales.vmx"));
        QCOMPARE(list.MenuText(1), QString("&2 /data/R&&D.vmx"));
    }

    void writtenListReadsBackAndShrinks()
    {
        const QString file = m_settingsDir.filePath("settings.ini");
        {
            CRecentFileList list;
            for (int i = 1; i <= 4; ++i)
                list.Add(QStringLiteral("/data/f%1.vmx").arg(i));
            QSettings settings(file, QSettings::IniFormat);
            list.Write(settings);
        }
        {
            QSettings settings(file, QSettings::IniFormat);
            QCOMPARE(settings.value("Recent File List/File1").toString(), QString("/data/f4.vmx"));
            QCOMPARE(settings.value("Recent File List/File4").toString(), QString("/data/f1.vmx"));
            CRecentFileList list;
            list.Read(settings);
            QCOMPARE(list.Count(), 4);
            list.Remove(0);
            list.Remove(0);
            list.Write(settings);
        }
        QSettings settings(file, QSettings::IniFormat);
        CRecentFileList list;
        list.Read(settings);
        QCOMPARE(list.Files(), (QStringList{"/data/f2.vmx", "/data/f1.vmx"}));
        QVERIFY(!settings.contains("Recent File List/File3"));
        QVERIFY(!settings.contains("Recent File List/File4"));
    }
};

QTEST_APPLESS_MAIN(TestRecentFileList)
#include "tst_recentfilelist.moc"
