#pragma once

#include "db/Dialect.h"
#include "db/SchemaChange.h"

#include <QDialog>

class CDbSession;
class QPushButton;

// The shape every design dialog shares. A dialog lays out its template in
// dialog units (Place), gathers its input and composes a change or an
// error (Compose). Its default button runs accept(), which is the same for
// every dialog:
//   1. editors still open in the dialog's grids give their values to the
//      cells (FinishEditing), so nothing typed is lost;
//   2. Compose; an error found there is shown under "Error" and the dialog
//      stays open with everything the user entered;
//   3. a note the dialect gives with the change (a change the engine
//      cannot roll back) is confirmed first; on No the dialog stays;
//   4. the change goes to the session's dialect; a refusal is shown with
//      the engine's own text, the statement is closed, the dialog stays;
//   5. on success the dialog updates the table windows (OnApplied) and
//      closes with OK.
// Cancel, Escape and the close box close it without sending anything.
class CDesignDialog : public QDialog
{
    Q_OBJECT

public:
    void accept() override;

protected:
    // The dialog's size in dialog units; the template's controls are placed
    // with Place.
    CDesignDialog(QWidget *parent, CDbSession &session, const QString &title, int widthUnits,
                  int heightUnits);

    // Places a control at its template rectangle, in dialog units.
    static void Place(QWidget *control, int x, int y, int width, int height);
    // The template's default push button, which runs accept(), and its
    // Cancel button, each at its template rectangle.
    QPushButton *AddDefaultButton(const QString &text, int x, int y, int width, int height);
    QPushButton *AddCancelButton(int x, int y, int width, int height);

    virtual void FinishEditing() {}
    virtual CComposedChange Compose() = 0;
    virtual void OnApplied() = 0;

    // Leaves the control as it is when the connected engine has the feature;
    // otherwise disables it, with the engine's reason as its tooltip, so an
    // option the engine lacks is never offered and then dropped.
    void OfferFeature(QWidget *control, CDialect::Feature feature) const;

    CDbSession &Session() const { return m_session; }
    // Shows the text of a result code under "Error", owned by the dialog.
    void ReportError(int code);

private:
    bool ConfirmNote(const CSchemaChange &change);

    CDbSession &m_session;
};
