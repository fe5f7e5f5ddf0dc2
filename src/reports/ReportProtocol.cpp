#include "reports/ReportProtocol.h"

#include "reports/ReportRows.h"

ReportProtocol::~ReportProtocol() = default;

QString ReportProtocol::reportTitle()
{
    return {};
}

QList<double> ReportProtocol::reportColumnWidths()
{
    return {};
}

OrderedDictionary ReportProtocol::reportColumns()
{
    return {};
}

quint64 ReportProtocol::reportRowsCount()
{
    return 0;
}

QVariantMap ReportProtocol::reportRow(quint64)
{
    return {};
}

QVariantMap ReportProtocol::reportRowFormatted(quint64)
{
    return {};
}

std::shared_ptr<const ReportRows> ReportProtocol::reportRowsSnapshot()
{
    return ReportRows::copyOf(*this);
}

bool ReportProtocol::reportAllowsPDF()
{
    return true;
}
