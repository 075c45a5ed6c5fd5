#include "db/DbmsAdapter.h"
#include "document/Doc.h"
#include "res/Resource.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/OdbcSandbox.h"
#include "tests/support/SampleDiagram.h"
#include "view/DbView.h"
#include "view/PrintSettings.h"

#include <QPrinter>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// While it lives, this process can write no file beyond a few bytes, as on
// a full disk: a write past the limit fails (its signal ignored) instead of
// ending the process.
class CFullDisk
{
public:
    static constexpr rlim_t kBytes = 64;

    CFullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &m_limit);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit full = m_limit;
        full.rlim_cur = kBytes;
        setrlimit(RLIMIT_FSIZE, &full);
    }
    ~CFullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, m_signal);
    }
    CFullDisk(const CFullDisk &) = delete;
    CFullDisk &operator=(const CFullDisk &) = delete;

private:
    rlimit m_limit{};
    void (*m_signal)(int) = SIG_DFL;
};

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

// Saving a diagram and printing to a PDF file on a full disk: the failure
// is shown in a message box and the older file stays as it was.
class TestFailedWrites : public QObject
{
    Q_OBJECT

    COdbcSandbox m_sandbox;

private slots:
    void initTestCase()
    {
        CSampleDiagram::AddSource(m_sandbox);
        RegisterDbmsAdapters();
    }
    void cleanupTestCase() { UnregisterDbmsAdapters(); }

    void aFullDiskKeepsTheOlderFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("saved diagram") << "older.vmx" << "Failed to save document.";
        QTest::newRow("printed PDF") << "older.pdf" << "Cannot write %1: File too large.";
    }
    void aFullDiskKeepsTheOlderFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        CSampleDiagram sample;
        QVERIFY(sample.Open());
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const QByteArray older(CFullDisk::kBytes / 2, 'o');
        QVERIFY(WriteFile(path, older));
        QPrinter &printer = sample.View()->PrintSettings().Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);

        CModalAnswerer answerer;
        bool written = true;
        {
            CFullDisk full;
            written = name.endsWith(".vmx") ? sample.Doc()->OnSaveDocument(path)
                                            : sample.View()->PrintDiagram(printer);
        }
        QVERIFY(!written);
        QCOMPARE(answerer.texts, QStringList{message.arg(path)});
        QCOMPARE(ReadFile(path), older);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }
};

QTEST_MAIN(TestFailedWrites)
#include "tst_failedwrites.moc"
