#pragma once

#include <QString>

namespace qvr {

// Who makes Quorvane and how to reach them: the one place for these texts.
inline const QString kProductName = QStringLiteral("Quorvane");
inline const QString kPublisherName = QStringLiteral("Dornevik");
inline const QString kPublisherWebSiteName = QStringLiteral("www.dornevik.example");
inline const QString kSupportMailAddress = QStringLiteral("support@dornevik.example");
inline const QString kRightsNotice = QStringLiteral("\u00A9 2026 Dornevik");

}  // namespace qvr
