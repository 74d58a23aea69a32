#include "NumberFormat.h"

#include <QLocale>

#include <clocale>

namespace qvr {

void FixDecimalSeparator()
{
    std::setlocale(LC_NUMERIC, "C");
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(c);
}

}  // namespace qvr
