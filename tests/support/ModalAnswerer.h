#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the message boxes a test provokes: every time a QMessageBox
// becomes the active modal widget it records its title and text and clicks
// the next answer in line (the last answer repeats). Uses a polling timer
// so it works for boxes opened from inside event handlers.
class CModalAnswerer : public QObject
{
    Q_OBJECT

public:
    explicit CModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    explicit CModalAnswerer(const QList<QMessageBox::StandardButton> &answers);

    QStringList titles;
    QStringList texts;
    QList<QMessageBox::Icon> icons;
    int Count() const { return texts.size(); }
    QString LastText() const { return texts.isEmpty() ? QString() : texts.last(); }
    QString LastTitle() const { return titles.isEmpty() ? QString() : titles.last(); }

private:
    void Poll();

    QList<QMessageBox::StandardButton> m_answers;
    QTimer m_timer;
};
