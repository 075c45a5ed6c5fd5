#include "dialogs/ComposeTrigger.h"

#include "db/ResultCodes.h"
#include "db/SqlText.h"

namespace {

std::string TrimmedRight(std::string text)
{
    SqlText::TrimRight(text);
    return text;
}

} // namespace

CComposedChange ComposeTrigger(const CTriggerInput &input)
{
    CCreateTrigger trigger;
    trigger.m_name = TrimmedRight(input.m_name);
    trigger.m_table = input.m_table;
    trigger.m_timing = input.m_timing;
    trigger.m_event = input.m_event;
    trigger.m_firingOrder = TrimmedRight(input.m_firingOrder);
    trigger.m_condition = TrimmedRight(input.m_condition);
    trigger.m_body = TrimmedRight(input.m_body);

    CComposedChange composed;
    if (trigger.m_name.empty())
        composed.m_error = DbResult::kNoTriggerName;
    else if (trigger.m_body.empty())
        composed.m_error = DbResult::kNoTriggerBody;
    else
        composed.m_change = std::move(trigger);
    return composed;
}
