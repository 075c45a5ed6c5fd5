#include "dialogs/ComposeTrigger.h"

#include "db/ResultCodes.h"
#include "db/SqlText.h"

CComposedChange ComposeCreateTrigger(CCreateTrigger typed)
{
    for (std::string *text : {&typed.m_name, &typed.m_firingOrder, &typed.m_condition, &typed.m_body})
        SqlText::TrimRight(*text);

    CComposedChange composed;
    if (typed.m_name.empty())
        composed.m_error = DbResult::kNoTriggerName;
    else if (typed.m_body.empty())
        composed.m_error = DbResult::kNoTriggerBody;
    else
        composed.m_change = std::move(typed);
    return composed;
}
