#include "db/StatementLog.h"

unsigned long long CDbStatementLog::Add(std::chrono::system_clock::time_point time,
                                        const std::string &statement,
                                        CDbLogEntry::Outcome outcome, const std::string &message)
{
    if (m_entries.size() == kCapacity)
        m_entries.pop_front();
    CDbLogEntry entry;
    entry.m_number = ++m_sent;
    entry.m_time = time;
    entry.m_statement = statement;
    entry.m_outcome = outcome;
    entry.m_message = message;
    m_entries.push_back(std::move(entry));
    Notify(m_entries.back(), true);
    return m_sent;
}

void CDbStatementLog::CountRow(unsigned long long number)
{
    if (CDbLogEntry *entry = Find(number)) {
        ++entry->m_rows;
        Notify(*entry, false);
    }
}

void CDbStatementLog::SetAllRead(unsigned long long number)
{
    if (CDbLogEntry *entry = Find(number)) {
        entry->m_allRead = true;
        Notify(*entry, false);
    }
}

void CDbStatementLog::SetFailed(unsigned long long number, const std::string &message)
{
    if (CDbLogEntry *entry = Find(number)) {
        entry->m_outcome = CDbLogEntry::Failed;
        entry->m_message = message;
        Notify(*entry, false);
    }
}

// Entries are numbered without gaps, so the number gives the place.
CDbLogEntry *CDbStatementLog::Find(unsigned long long number)
{
    if (m_entries.empty() || number < m_entries.front().m_number || number > m_sent)
        return nullptr;
    return &m_entries[static_cast<size_t>(number - m_entries.front().m_number)];
}

void CDbStatementLog::Notify(const CDbLogEntry &entry, bool added) const
{
    if (m_listener)
        m_listener(entry, added);
}
