#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>

// One statement a session sent and what became of it, or one step of a
// transaction (BEGIN, COMMIT, ROLLBACK), which ODBC takes as a call.
struct CDbLogEntry
{
    enum Outcome { Ok, Rows, Failed };

    // 1 for the first statement of a session, counting on from there.
    unsigned long long m_number = 0;
    std::chrono::system_clock::time_point m_time;
    // Exactly as it was sent.
    std::string m_statement;
    Outcome m_outcome = Ok;
    // Rows read so far, when the statement gave rows, and whether they were
    // read to their end.
    long long m_rows = 0;
    bool m_allRead = false;
    // The engine's message: why the statement failed, or what the engine
    // warned of while it succeeded.
    std::string m_message;
};

// The last statements a session sent, oldest first. The log keeps at most
// kCapacity of them and forgets the oldest, so that a long session does
// not grow without bound; Sent() counts every statement ever sent.
class CDbStatementLog
{
public:
    static constexpr size_t kCapacity = 1000;

    // Told of every entry that was added (added is true) or changed since.
    using Listener = std::function<void(const CDbLogEntry &entry, bool added)>;

    // Records a statement that was just sent; returns its number.
    unsigned long long Add(std::chrono::system_clock::time_point time, const std::string &statement,
                           CDbLogEntry::Outcome outcome, const std::string &message);
    // One more row was read from the statement's result.
    void CountRow(unsigned long long number);
    // The statement's rows were read to their end.
    void SetAllRead(unsigned long long number);
    // Reading the statement's result failed after it was sent.
    void SetFailed(unsigned long long number, const std::string &message);

    unsigned long long Sent() const { return m_sent; }
    const std::deque<CDbLogEntry> &Entries() const { return m_entries; }
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const CDbLogEntry &back() const { return m_entries.back(); }
    const CDbLogEntry &operator[](size_t index) const { return m_entries[index]; }

    void SetListener(Listener listener) { m_listener = std::move(listener); }

private:
    CDbLogEntry *Find(unsigned long long number);
    void Notify(const CDbLogEntry &entry, bool added) const;

    std::deque<CDbLogEntry> m_entries;
    unsigned long long m_sent = 0;
    Listener m_listener;
};
