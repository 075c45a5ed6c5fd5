#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Switches are "-name" or one of the known
// "/name" words (a path such as /home/a.vmx is a file name, not a switch);
// the first other argument is the file name. Only a file name without any
// switch opens a document: printing, DDE, registration and unknown switches
// are all recognised and then ignored.
class CCommandLineInfo
{
public:
    enum ShellCommand { FileNothing, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister };

    // Parses the arguments after the program name.
    void Parse(const QStringList &arguments);

    ShellCommand m_shellCommand = FileNothing;
    QString m_fileName;
    bool m_hasSwitch = false;

private:
    void ParseSwitch(const QString &name);
};
