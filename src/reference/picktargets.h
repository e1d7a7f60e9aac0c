#pragma once
// What a voucher window offers the pickers it opens: the pickers hand their choice back through
// these, never by reaching into the voucher's widgets.

#include <QString>
#include <QStringList>

namespace reference {

// The caller of the customer picker: the chosen name goes into its customer-name field (Text7)
// and its customer data source (Adodc2) is queried again for the names that begin with it.
class CustomerPickTarget {
public:
    virtual ~CustomerPickTarget() = default;
    virtual void customerPicked(const QString &name) = 0;
};

// The caller of the purpose picker: its purpose field (Text19) is set to the text.
class PurposePickTarget {
public:
    virtual ~PurposePickTarget() = default;
    virtual void setPurposeText(const QString &text) = 0;
};

// The caller tags each picker accepts; with any other tag its confirm button does nothing.
inline QStringList customerPickerTags()
{
    return {QStringLiteral("支票"), QStringLiteral("进账单"), QStringLiteral("建行电汇凭证"),
            QStringLiteral("通用电汇凭证"), QStringLiteral("农行结算业务申请书"), QStringLiteral("交款单")};
}
inline QStringList purposePickerTags()
{
    return {QStringLiteral("支票打印"), QStringLiteral("进账单"), QStringLiteral("建行电汇凭证"),
            QStringLiteral("通用电汇凭证"), QStringLiteral("农行结算业务申请书"), QStringLiteral("交款单")};
}

} // namespace reference
