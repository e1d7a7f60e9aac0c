#include "printing/issue.h"

namespace printing {

namespace {

// A callback that records a voucher the moment it is called: nothing to write down first.
class RecordNow : public IssueRecord {
public:
    explicit RecordNow(std::function<void()> f) : m_record(std::move(f)) {}
    bool prepare(const HandOver &, QString *) override { return true; }
    bool finish(bool handedOver, QString *) override
    {
        if (handedOver)
            m_record();
        return true;
    }

private:
    std::function<void()> m_record;
};

} // namespace

Issued::Issued(std::function<void()> recordNow)
    : m_record(recordNow ? std::make_shared<RecordNow>(std::move(recordNow)) : nullptr)
{
}

void Issued::operator()() const
{
    if (!m_record)
        return;
    QString ignored;
    if (m_record->prepare(HandOver{}, &ignored))
        m_record->finish(true, &ignored);
}

bool Issued::prepare(const HandOver &handOver, QString *error) const
{
    return !m_record || m_record->prepare(handOver, error);
}

bool Issued::finish(bool handedOver, QString *error) const { return !m_record || m_record->finish(handedOver, error); }

} // namespace printing
