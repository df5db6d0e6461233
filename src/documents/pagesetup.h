#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>

namespace mizro::documents {

/// What a printed page of a document looks like, beyond what its HTML keeps:
/// paper, orientation, margins in millimetres, header and footer, default
/// font.
struct PageSetup {
    QString paper = QStringLiteral("A4"); // A4, A5, Letter
    bool landscape = false;
    double left = 25, top = 20, right = 20, bottom = 20;
    QString header;
    QString footer;
    QString fontFamily = QStringLiteral("Times New Roman");
    double fontSize = 12;

    static QStringList papers();
    QPageLayout pageLayout() const;

    QByteArray toJson() const;
    /// Values that are missing or out of range keep their defaults.
    static PageSetup fromJson(const QByteArray &json);

    bool operator==(const PageSetup &) const = default;
};

} // namespace mizro::documents
