#include "platform/Product.h"

#include <QCoreApplication>

void Product::nameApplication()
{
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setOrganizationName(company);
}
