#include "body.h"

namespace mizro::ui {

QStringList Body::decisionColumns() const
{
    if (documentParticulars)
        return {QStringLiteral("BKOD"),  QStringLiteral("EKAYNO"), QStringLiteral("EKAYTAR"),
                QStringLiteral("ETUR"),  QStringLiteral("EVSAY"),  QStringLiteral("EVTAR"),
                QStringLiteral("KARNO"), QStringLiteral("KAYNO"),  QStringLiteral("OZET"),
                QStringLiteral("SAAT"),  QStringLiteral("SNO"),    QStringLiteral("TARIH")};
    return {QStringLiteral("KARNO"), QStringLiteral("KAYNO"), QStringLiteral("MKAR"),
            QStringLiteral("OZET"),  QStringLiteral("SAAT"),  QStringLiteral("SNO"),
            QStringLiteral("TARIH")};
}

const Body &Body::committee()
{
    static const Body b{
        Kind::Committee,
        QStringLiteral("ENCUMEN"),
        QStringLiteral("EKAR"),
        QStringLiteral("EKAT"),
        QStringLiteral("EUYE"),
        QStringLiteral("ENCÜMEN OTURUMU"),
        QStringLiteral("BU ENCÜMEN OTURUMU VE ALINAN TÜM KARARLAR SİLİNECEKTİR. ONAYLIYORMUSUNUZ"),
        QStringLiteral("BU KARAR SİLİNECEKTİR. ONAYLIYORMUSUNUZ"),
        QStringLiteral("TFRMEUYEEKLE"),
        QStringLiteral("ENCÜMEN ÜYESİ EKLEME"),
        QStringLiteral("TFRMENCUYE"),
        QStringLiteral("ENCÜMEN ÜYE LİSTESİ"),
        true,
        true,
        QStringLiteral("SELECT * FROM EUYE\nWHERE YIL=:YL\nORDER BY UKOD"),
    };
    return b;
}

const Body &Body::council()
{
    static const Body b{
        Kind::Council,
        QStringLiteral("MECLIS"),
        QStringLiteral("MKAR"),
        QStringLiteral("MKAT"),
        QStringLiteral("MUYE"),
        QStringLiteral("MECLİS OTURUMU"),
        QStringLiteral("BU MECLİS OTURUMU VE ALINAN TÜM KARARLAR SİLİNECEKTİR. ONAYLIYORMUSUNUZ"),
        QStringLiteral("BU MECLİS KARARI SİLİNECEKTİR. ONAYLIYORMUSUNUZ"),
        QStringLiteral("TFRMMUYEEKLE"),
        QStringLiteral("MECLİS ÜYESİ EKLEME"),
        QStringLiteral("TFRMMECUYE"),
        QStringLiteral("MECLİS ÜYE LİSTESİ"),
        false,
        false,
        QStringLiteral("SELECT UKOD FROM MUYE\nWHERE YIL=:YL\nORDER BY UKOD"),
    };
    return b;
}

} // namespace mizro::ui
