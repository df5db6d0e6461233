#pragma once

#include "reports/reportsource.h"

#include <QHash>
#include <QVector>

/// Report rows held in memory: each master row with its sub-detail rows and
/// its memo.
class MemorySource : public mizro::reports::ReportSource {
public:
    using Row = QHash<QString, QString>;
    struct Master {
        Row row;
        QVector<Row> details;
        QString memo;
    };
    QVector<Master> masters;
    int moves = 0;

    int masterCount() const override { return int(masters.size()); }
    void masterMoved(int row) override
    {
        m_current = row;
        ++moves;
    }
    QString masterText(const QString &field) const override
    {
        return masters[m_current].row.value(field);
    }
    int subDetailCount() const override { return int(masters[m_current].details.size()); }
    QString subDetailText(int row, const QString &field) const override
    {
        return masters[m_current].details[row].value(field);
    }
    QString memo(const QString &) const override
    {
        return m_current < 0 ? QString() : masters[m_current].memo;
    }

private:
    int m_current = -1;
};
