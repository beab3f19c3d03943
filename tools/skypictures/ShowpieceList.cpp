#include "ShowpieceList.h"

#include "ChartProjection.h"
#include "ChartSky.h"
#include "StarCatalog.h"

#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int pictureWidth = 450;
constexpr int pictureHeight = 150;
constexpr double pixelsPerDegree = 40;
constexpr double degree = M_PI / 180;

const CatalogObject* lookUp(const StarCatalog& catalog, const QString& designation) {
    if (designation.startsWith("NGC"))
        return catalog.ngcObject(designation.mid(3).toInt());
    if (designation.startsWith("IC"))
        return catalog.icObject(designation.mid(2).toInt());
    return catalog.messierObject(designation.mid(1).toInt());
}

// Copies the sprite's star pixels only, so the dark background stays.
void drawSprite(QImage& picture, const QImage& sprite, int cx, int cy) {
    for (int y = 0; y < sprite.height(); ++y) {
        for (int x = 0; x < sprite.width(); ++x) {
            const int px = cx - sprite.width() / 2 + x;
            const int py = cy - sprite.height() / 2 + y;
            if (px < 0 || py < 0 || px >= picture.width() || py >= picture.height())
                continue;
            const QRgb p = sprite.pixel(x, y);
            if (qRed(p) > 5 && qGreen(p) > 5 && qBlue(p) > 20)
                picture.setPixel(px, py, p);
        }
    }
}

QImage renderPicture(const Showpiece& showpiece, const CatalogObject& object,
                     const StarCatalog& catalog) {
    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
    picture.fill(QColor(5, 5, 20));
    // East is left, as in the sky.
    const ChartProjection projection(object.ra, object.dec, pixelsPerDegree / degree, 0,
                                     {pictureWidth / 2.0, pictureHeight / 2.0});
    for (const CatalogStar& star : catalog.stars) {
        cv::Point2d at;
        const SkyVector place = SkyVector::of(star.ra, star.dec);
        if (star.vmag > 8.5 || projection.cosineFromCentre(place) <= 0.1 ||
            !projection.project(place, &at))
            continue;
        const double x = at.x, y = at.y;
        if (x < -20 || y < -20 || x > pictureWidth + 20 || y > pictureHeight + 20)
            continue;
        const int row = std::clamp(int(star.vmag) + 2, 0, StarCatalog::spriteRows - 1);
        drawSprite(picture, catalog.sprites[row][ChartSky::colourColumn(star.bvCol)], int(x),
                   int(y));
    }
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(80, 220, 80), 2));
    painter.drawEllipse(QPointF(pictureWidth / 2.0, pictureHeight / 2.0), 14, 14);
    QFont font("Noto Sans CJK JP");
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(14, 8, 300, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     showpiece.designation);
    font.setPixelSize(20);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(14, 104, 422, 36), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(showpiece.japaneseName));
    return picture;
}

// "M42.png, 05 35 17.3 -05 23 27": RA hours, minutes, seconds; Dec with its sign.
QByteArray listLine(const QString& pictureName, const CatalogObject& object) {
    const long tenthsOfSeconds = std::lround(object.ra / 15 * 36000);
    const long arcseconds = std::lround(std::fabs(object.dec) * 3600);
    char line[96];
    std::snprintf(line, sizeof line, "%s, %02ld %02ld %02ld.%ld %c%02ld %02ld %02ld\n",
                  qPrintable(pictureName), tenthsOfSeconds / 36000 % 24, tenthsOfSeconds / 600 % 60,
                  tenthsOfSeconds / 10 % 60, tenthsOfSeconds % 10, object.dec < 0 ? '-' : '+',
                  arcseconds / 3600, arcseconds / 60 % 60, arcseconds % 60);
    return line;
}

} // namespace

const QVector<ShowpieceList>& showpieceLists() {
    static const QVector<ShowpieceList> lists = {
        {"winterList.txt",
         {{"M42", "オリオン大星雲"},
          {"M45", "プレアデス星団（すばる）"},
          {"M1", "かに星雲"},
          {"NGC2244", "ばら星雲"},
          {"IC434", "馬頭星雲"},
          {"M78", "オリオン座の散光星雲"},
          {"NGC1499", "カリフォルニア星雲"},
          {"NGC2264", "クリスマスツリー星団"},
          {"M35", "ふたご座の散開星団"},
          {"M36", "ぎょしゃ座の散開星団"},
          {"M37", "ぎょしゃ座の散開星団"},
          {"M38", "ぎょしゃ座の散開星団"},
          {"M41", "おおいぬ座の散開星団"},
          {"M46", "とも座の散開星団"},
          {"M44", "プレセペ星団"}}},
        {"summerList.txt",
         {{"M8", "干潟星雲"},
          {"M20", "三裂星雲"},
          {"M16", "わし星雲"},
          {"M17", "オメガ星雲"},
          {"M13", "ヘルクレス座の球状星団"},
          {"M22", "いて座の球状星団"},
          {"M11", "ワイルドダック星団"},
          {"M4", "さそり座の球状星団"},
          {"M6", "バタフライ星団"},
          {"M7", "トレミー星団"},
          {"M24", "いて座スタークラウド"},
          {"NGC7000", "北アメリカ星雲"},
          {"NGC6960", "網状星雲（西）"},
          {"NGC6992", "網状星雲（東）"},
          {"M5", "へび座の球状星団"}}},
        {"autumList.txt",
         {{"M31", "アンドロメダ銀河"},
          {"M33", "さんかく座銀河"},
          {"NGC869", "ペルセウス座の二重星団"},
          {"M15", "ペガスス座の球状星団"},
          {"M2", "みずがめ座の球状星団"},
          {"NGC253", "ちょうこくしつ座銀河"},
          {"IC1805", "ハート星雲"},
          {"IC1848", "胎児星雲"},
          {"M52", "カシオペヤ座の散開星団"},
          {"M103", "カシオペヤ座の散開星団"},
          {"NGC457", "ふくろう星団"},
          {"M34", "ペルセウス座の散開星団"},
          {"NGC281", "パックマン星雲"},
          {"NGC7635", "バブル星雲"}}},
        {"galaxyList.txt",
         {{"M57", "環状星雲"},
          {"M27", "あれい状星雲"},
          {"M97", "ふくろう星雲"},
          {"NGC7293", "らせん星雲"},
          {"NGC6543", "キャッツアイ星雲"},
          {"NGC7009", "土星状星雲"},
          {"NGC3242", "木星状星雲"},
          {"M76", "小あれい状星雲"},
          {"M51", "子持ち銀河"},
          {"M81", "ボーデの銀河"},
          {"M82", "葉巻銀河"},
          {"M101", "回転花火銀河"},
          {"M104", "ソンブレロ銀河"},
          {"M63", "ひまわり銀河"},
          {"M64", "黒眼銀河"},
          {"NGC4565", "かみのけ座のエッジオン銀河"},
          {"NGC891", "アンドロメダ座のエッジオン銀河"}}},
    };
    return lists;
}

bool writeShowpieceList(const ShowpieceList& list, const StarCatalog& catalog,
                        const QString& folder) {
    QByteArray text;
    for (const Showpiece& showpiece : list.objects) {
        const CatalogObject* object = lookUp(catalog, showpiece.designation);
        if (!object) {
            std::fprintf(stderr, "%s is not in the catalogue\n", showpiece.designation);
            return false;
        }
        const QString pictureName = QString(showpiece.designation) + ".png";
        if (!renderPicture(showpiece, *object, catalog).save(folder + '/' + pictureName))
            return false;
        text += listLine(pictureName, *object);
    }
    QFile file(folder + '/' + list.fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}
