#include "dialogs/TriggerDlg.h"

#include "diagram/TableWnd.h"
#include "dialogs/ComposeTrigger.h"
#include "document/Doc.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <algorithm>
#include <memory>

namespace {

// Enter makes a new line and Tab moves on to the next control.
QPlainTextEdit *MultiLineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setTabChangesFocus(true);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return edit;
}

} // namespace

CTriggerDlg::CTriggerDlg(CTableWnd *table) : CTriggerDlg(table, std::nullopt) {}

CTriggerDlg::CTriggerDlg(CTableWnd *table, const CCreateTrigger &shown)
    : CTriggerDlg(table, std::optional<CCreateTrigger>(shown))
{
}

CTriggerDlg::CTriggerDlg(CTableWnd *table, std::optional<CCreateTrigger> shown)
    : CDesignDialog(table, CDoc::Of(table->Source())->GetSession(),
                    shown ? QStringLiteral("Edit Trigger") : QStringLiteral("Create Trigger"), 352, 236),
      m_table(table), m_shown(std::move(shown))
{
    CreateNameAndEvent();
    CreateFiringOrder();
    CreateConditionAndBody();
    CreateButtons();
    if (m_shown)
        Fill(*m_shown);
}

// The controls are made in template order, which is also the tab order.
// The group boxes only frame their buttons, which are the dialog's own
// children; each button group makes its two or three buttons exclusive.
void CTriggerDlg::CreateNameAndEvent()
{
    m_triggerName = new QLineEdit(this);
    m_triggerName->setObjectName(QStringLiteral("triggerName"));
    Place(m_triggerName, 75, 21, 93, 14);
    Place(new QLabel(QStringLiteral("Trigger Name:"), this), 24, 23, 45, 8);

    struct Choice
    {
        const char *text;
        int x, y, width;
    };
    const auto addGroup = [this](QButtonGroup *group, std::initializer_list<Choice> choices) {
        int id = 0;
        for (const Choice &choice : choices) {
            auto *button = new QRadioButton(QLatin1String(choice.text), this);
            button->setObjectName(QString::fromLatin1(choice.text).toLower());
            Place(button, choice.x, choice.y, choice.width, 10);
            group->addButton(button, id++);
        }
        group->button(0)->setChecked(true);
    };

    Place(new QGroupBox(QStringLiteral("When"), this), 7, 46, 74, 47);
    m_timing = new QButtonGroup(this);
    addGroup(m_timing, {{"Before", 15, 60, 37}, {"After", 15, 76, 31}});

    Place(new QGroupBox(QStringLiteral("Type"), this), 109, 46, 70, 66);
    m_event = new QButtonGroup(this);
    addGroup(m_event, {{"Insert", 121, 66, 33}, {"Update", 122, 81, 39}, {"Delete", 122, 96, 37}});
}

void CTriggerDlg::CreateFiringOrder()
{
    auto *label = new QLabel(QStringLiteral("Firing Order:"), this);
    Place(label, 7, 103, 39, 8);
    m_firingOrder = new QLineEdit(this);
    m_firingOrder->setObjectName(QStringLiteral("firingOrder"));
    Place(m_firingOrder, 50, 100, 40, 14);
    OfferFeature(label, CDialect::Feature::TriggerFiringOrder);
    OfferFeature(m_firingOrder, CDialect::Feature::TriggerFiringOrder);
}

void CTriggerDlg::CreateConditionAndBody()
{
    auto *where = new QGroupBox(QStringLiteral("Where (leave empty to fire on every row)"), this);
    Place(where, 202, 47, 143, 87);
    m_condition = MultiLineEdit(this, "condition");
    Place(m_condition, 209, 59, 130, 69);
    OfferFeature(where, CDialect::Feature::TriggerCondition);
    OfferFeature(m_condition, CDialect::Feature::TriggerCondition);

    Place(new QGroupBox(QStringLiteral("Trigger Body (enter SQL statements here separated by semi-colons)"), this),
          7, 140, 338, 89);
    m_body = MultiLineEdit(this, "body");
    Place(m_body, 15, 152, 322, 70);
}

void CTriggerDlg::CreateButtons()
{
    AddDefaultButton(m_shown ? QStringLiteral("Replace") : QStringLiteral("Create"), 295, 7, 50, 14);
    AddCancelButton(295, 24, 50, 14);
}

// The button ids are the order of TriggerTiming and TriggerEvent.
void CTriggerDlg::Fill(const CCreateTrigger &shown)
{
    m_triggerName->setText(QString::fromStdString(shown.m_name));
    m_timing->button(static_cast<int>(shown.m_timing))->setChecked(true);
    m_event->button(static_cast<int>(shown.m_event))->setChecked(true);
    m_firingOrder->setText(QString::fromStdString(shown.m_firingOrder));
    m_condition->setPlainText(QString::fromStdString(shown.m_condition));
    m_body->setPlainText(QString::fromStdString(shown.m_body));
}

CCreateTrigger CTriggerDlg::Gather() const
{
    CCreateTrigger typed;
    typed.m_name = m_triggerName->text().toStdString();
    typed.m_table = m_table->m_name;
    typed.m_timing = m_timing->checkedId() == 1 ? TriggerTiming::After : TriggerTiming::Before;
    const int event = m_event->checkedId();
    typed.m_event = event == 0 ? TriggerEvent::Insert : event == 1 ? TriggerEvent::Update : TriggerEvent::Delete;
    typed.m_firingOrder = m_firingOrder->text().toStdString();
    typed.m_condition = m_condition->toPlainText().toStdString();
    typed.m_body = m_body->toPlainText().toStdString();
    return typed;
}

CComposedChange CTriggerDlg::Compose()
{
    CComposedChange composed = ComposeCreateTrigger(Gather());
    if (composed.m_error != 0)
        return composed;
    const CCreateTrigger created = std::get<CCreateTrigger>(composed.m_change);
    m_createdName = created.m_name;
    if (m_shown)
        composed.m_change = CReplaceTrigger{CDropTrigger{m_table->m_name, m_shown->m_name}, created};
    return composed;
}

// A replacement takes the row of the trigger it replaces; a new trigger
// comes last.
void CTriggerDlg::OnApplied()
{
    CDoc::Of(m_table->Source())->Schema().ChangeTable(m_table->m_name, [this](CTableSchema &table) {
        auto &triggers = table.m_triggers;
        const auto shown = m_shown ? std::find(triggers.begin(), triggers.end(), m_shown->m_name)
                                   : triggers.end();
        if (shown != triggers.end())
            *shown = m_createdName;
        else
            triggers.push_back(m_createdName);
    });
    m_table->ShowModel();
}
