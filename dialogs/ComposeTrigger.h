#pragma once

#include "db/SchemaChange.h"

#include <string>

// What the Trigger dialog gathered from its controls, untrimmed.
struct CTriggerInput
{
    std::string m_name;
    std::string m_table;
    TriggerTiming m_timing = TriggerTiming::Before;
    TriggerEvent m_event = TriggerEvent::Insert;
    std::string m_firingOrder;
    std::string m_condition;
    std::string m_body;
};

// The trigger the input asks for, or the first error found: -30011 when the
// name is empty, then -30012 when the body is. The name, the body, the
// firing order and the condition lose their trailing blanks, tabs and line
// breaks, never their leading ones; a firing order or condition that is
// then empty is left out.
CComposedChange ComposeTrigger(const CTriggerInput &input);
