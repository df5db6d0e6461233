#pragma once

#include <QString>
#include <QVector>

/// The words of a PDF as pdftotext -bbox reads them back, in millimetres
/// from the paper's top left corner.
struct PdfWord {
    int page;
    double xMin, yMin, xMax, yMax;
    QString text;
};

/// Empty when pdftotext could not read the file.
QVector<PdfWord> pdfWords(const QString &pdf);
/// The words of one page joined by blanks, in reading order.
QString pdfPageText(const QString &pdf, int page);
