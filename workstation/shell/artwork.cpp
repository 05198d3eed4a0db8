#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "commands.h"

namespace artwork {
namespace {

const QColor kInk(0x1F, 0x3A, 0x5F);
const QColor kBlue(0x2E, 0x6D, 0xB4);
const QColor kGreen(0x2E, 0x9E, 0x4F);
const QColor kRed(0xD0, 0x3B, 0x2F);
const QColor kPaper(0xFF, 0xFC, 0xF2);

QPen pen(const QColor& c, qreal w = 1.6) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawHome(QPainter& p) {
    QPainterPath roof;
    roof.moveTo(3, 12);
    roof.lineTo(12, 4);
    roof.lineTo(21, 12);
    p.setPen(pen(kRed, 2.2));
    p.drawPath(roof);
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6, 11, 12, 9));
    p.setBrush(kBlue);
    p.drawRect(QRectF(10.5, 14, 3.5, 6));
}

void drawConnect(QPainter& p) {
    p.setPen(pen(kInk, 1.4));
    p.setBrush(QColor(0xB8, 0xC7, 0xD9));
    p.drawRoundedRect(QRectF(2.5, 8.5, 8, 7), 1.5, 1.5);
    p.drawRoundedRect(QRectF(13.5, 8.5, 8, 7), 1.5, 1.5);
    p.setPen(pen(kInk, 1.6));
    p.drawLine(QPointF(0.5, 12), QPointF(2.5, 12));
    p.drawLine(QPointF(21.5, 12), QPointF(23.5, 12));
    p.setPen(pen(kGreen, 2.0));
    p.drawLine(QPointF(10.5, 10.5), QPointF(13.5, 10.5));
    p.drawLine(QPointF(10.5, 13.5), QPointF(13.5, 13.5));
}

void drawGear(QPainter& p) {
    p.translate(12, 12);
    p.setPen(pen(kInk, 1.2));
    p.setBrush(QColor(0x9A, 0xA9, 0xBC));
    QPainterPath gear;
    for (int i = 0; i < 16; ++i) {
        const double a = i * M_PI / 8;
        const double r = (i % 2) ? 7.0 : 9.5;
        QPointF pt(r * std::cos(a), r * std::sin(a));
        i ? gear.lineTo(pt) : gear.moveTo(pt);
    }
    gear.closeSubpath();
    p.drawPath(gear);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(0, 0), 3, 3);
}

void drawCalibrate(QPainter& p) {
    p.setPen(pen(kInk, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 7.5, 7.5);
    p.drawLine(QPointF(12, 1.5), QPointF(12, 7));
    p.drawLine(QPointF(12, 17), QPointF(12, 22.5));
    p.drawLine(QPointF(1.5, 12), QPointF(7, 12));
    p.drawLine(QPointF(17, 12), QPointF(22.5, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawEllipse(QPointF(12, 12), 2.2, 2.2);
}

void drawBars(QPainter& p) {
    const int heights[] = {9, 15, 7, 18, 12};
    p.setPen(pen(kInk, 1.0));
    for (int i = 0; i < 5; ++i) {
        p.setBrush(i % 2 ? kBlue : kGreen);
        p.drawRect(QRectF(2.5 + i * 4, 21.5 - heights[i], 3, heights[i]));
    }
}

void drawGray(QPainter& p) {
    for (int i = 0; i < 5; ++i) {
        const int g = 240 - i * 50;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(g, g, g));
        p.drawRect(QRectF(2 + i * 4, 4, 4, 16));
    }
    p.setPen(pen(kInk, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 4, 20, 16));
}

void drawLine(QPainter& p) {
    p.setPen(pen(kInk, 1.2));
    p.drawLine(QPointF(3, 2), QPointF(3, 21));
    p.drawLine(QPointF(3, 21), QPointF(22, 21));
    p.setPen(pen(kRed, 2.0));
    p.drawLine(QPointF(4, 19), QPointF(21, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(6.5 + i * 4.5, 17 - i * 4), 1.6, 1.6);
}

void drawConsist(QPainter& p) {
    p.setPen(pen(kInk, 1.0));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 2 ? kRed : kBlue);
        p.drawRect(QRectF(3 + i * 5, 7, 3.5, 14));
    }
    p.setPen(QPen(kGreen, 1.4, Qt::DashLine));
    p.drawLine(QPointF(1, 7), QPointF(23, 7));
}

void drawWave(QPainter& p) {
    p.setPen(pen(kInk, 1.0));
    p.drawLine(QPointF(1, 20.5), QPointF(23, 20.5));
    QPainterPath wave;
    wave.moveTo(1, 12);
    for (int x = 1; x <= 23; ++x) wave.lineTo(x, 12 - 7 * std::sin((x - 1) * M_PI / 5.5));
    p.setPen(pen(kRed, 1.8));
    p.drawPath(wave);
}

void drawCard(QPainter& p) {
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 2.5, 15, 19));
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) {
            p.setBrush(((r + c) % 3 == 0) ? kInk : QColor(0xC9, 0xD3, 0xE0));
            p.drawRect(QRectF(7 + c * 4, 5 + r * 3.2, 2.6, 1.8));
        }
    p.setBrush(kInk);
    for (int r = 0; r < 6; ++r) p.drawRect(QRectF(4.5, 4 + r * 3, 1.5, 1.2));
}

void drawAbout(QPainter& p) {
    p.setPen(pen(kBlue.darker(130), 1.2));
    p.setBrush(kBlue);
    p.drawEllipse(QPointF(12, 12), 10, 10);
    QFont f;
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, "?");
}

void drawExit(QPainter& p) {
    p.setPen(pen(kInk, 1.4));
    p.setBrush(QColor(0xC9, 0xA2, 0x6B));
    p.drawRect(QRectF(3.5, 2.5, 10, 19));
    p.setPen(pen(kRed, 2.2));
    p.drawLine(QPointF(10, 12), QPointF(22, 12));
    p.drawLine(QPointF(18, 8), QPointF(22, 12));
    p.drawLine(QPointF(18, 16), QPointF(22, 12));
}

using Painter = void (*)(QPainter&);

Painter painterFor(int command) {
    switch (command) {
        case cmd::kStartPage:
            return drawHome;
        case cmd::kConnect:
            return drawConnect;
        case cmd::kMotorSpeed:
            return drawGear;
        case cmd::kCalibration:
            return drawCalibrate;
        case cmd::kValueTest:
            return drawBars;
        case cmd::kGrayTest:
            return drawGray;
        case cmd::kLineTest:
            return drawLine;
        case cmd::kConsistTest:
            return drawConsist;
        case cmd::kWaveTest:
            return drawWave;
        case cmd::kReadCardTest:
            return drawCard;
        case cmd::kAbout:
            return drawAbout;
        case cmd::kAppExit:
            return drawExit;
        default:
            return nullptr;
    }
}

// The program's icon: the read-card image feeding into a reader, the line
// of the heads in red across the sheet.
void drawApplication(QPainter& p) {
    drawCard(p);
    p.setPen(pen(kRed, 1.6));
    p.drawLine(QPointF(2.5, 14.2), QPointF(21.5, 14.2));
    QLinearGradient shell(0, 15.5, 0, 22.5);
    shell.setColorAt(0, QColor(0xF4, 0xF6, 0xF9));
    shell.setColorAt(1, QColor(0xB9, 0xC4, 0xD2));
    p.setPen(pen(QColor(0x5A, 0x6B, 0x80), 1.0));
    p.setBrush(shell);
    p.drawRoundedRect(QRectF(1.5, 15.5, 21, 7), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2B, 0x33, 0x3D));
    p.drawRoundedRect(QRectF(4, 16.6, 16, 1.6), 0.6, 0.6);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(19, 20.3), 0.9, 0.9);
}

void drawReader(QPainter& p, const QRectF& body) {
    // A desktop reader: the housing, the hopper with a stack of cards and the
    // stacker in front.
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0, QColor(0xF4, 0xF6, 0xF9));
    shell.setColorAt(1, QColor(0xB9, 0xC4, 0xD2));
    p.setPen(QPen(QColor(0x5A, 0x6B, 0x80), 2));
    p.setBrush(shell);
    p.drawRoundedRect(body, 18, 18);
    QRectF slot(body.left() + 40, body.top() + 30, body.width() - 80, 16);
    p.setBrush(QColor(0x2B, 0x33, 0x3D));
    p.drawRoundedRect(slot, 6, 6);
    for (int i = 0; i < 5; ++i) {
        QRectF card(body.left() + 60 + i * 3, body.top() - 70 + i * 10, body.width() - 120, 95);
        p.setPen(QPen(QColor(0x9A, 0x8C, 0x6A), 1));
        p.setBrush(kPaper);
        p.drawRect(card);
    }
    QRectF top(body.left() + 72, body.top() - 30, body.width() - 120, 55);
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 14; ++c) {
            p.setBrush((r * 7 + c * 3) % 5 == 0 ? kInk : QColor(0xE0, 0x9A, 0x9A));
            p.drawRect(QRectF(top.left() + 8 + c * 15, top.top() + 6 + r * 12, 9, 5));
        }
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(body.right() - 40, body.bottom() - 32), 7, 7);
    p.setBrush(QColor(0xF0, 0xB4, 0x29));
    p.drawEllipse(QPointF(body.right() - 64, body.bottom() - 32), 7, 7);
}

QImage drawStartPage() {
    QImage img(kStartPageWidth, kStartPageHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, kStartPageWidth, kStartPageHeight);
    bg.setColorAt(0, QColor(0x0F, 0x3B, 0x6E));
    bg.setColorAt(1, QColor(0x3F, 0x8C, 0xC9));
    p.fillRect(img.rect(), bg);
    // Faint scan lines: the heads' view of a card.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    for (int y = 20; y < kStartPageHeight; y += 14) p.drawLine(0, y, kStartPageWidth, y);
    drawReader(p, QRectF(600, 250, 330, 220));
    QFont title;
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QPointF(70, 190), "Kestrin");
    QFont sub;
    sub.setPixelSize(28);
    p.setFont(sub);
    p.drawText(QPointF(72, 245), QString::fromUtf8("光标阅读机测试与维护"));
    QFont list;
    list.setPixelSize(18);
    p.setFont(list);
    p.setPen(QColor(0xDC, 0xEA, 0xF7));
    const char* lines[] = {"瞬值  ·  灰度  ·  线性  ·  一致性  ·  波形  ·  读卡", "校准设置  ·  电机速度",
                           "联机设置: USB口连接 / 串口连接"};
    for (int i = 0; i < 3; ++i) p.drawText(QPointF(74, 320 + i * 36), QString::fromUtf8(lines[i]));
    p.setPen(QPen(QColor(255, 255, 255, 120), 2));
    p.drawLine(72, 270, 520, 270);
    return img;
}

}  // namespace

QIcon commandIcon(int command) {
    Painter draw = painterFor(command);
    if (!draw) return {};
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(kToolbarIconSize * scale, kToolbarIconSize * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
        p.end();
        pm.setDevicePixelRatio(scale);
        icon.addPixmap(pm);
    }
    return icon;
}

QImage applicationImage(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(kToolbarIconSize), size / double(kToolbarIconSize));
    drawApplication(p);
    return img;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : kApplicationIconSizes) icon.addPixmap(QPixmap::fromImage(applicationImage(size)));
    return icon;
}

const QImage& startPageBitmap() {
    static const QImage img = drawStartPage();
    return img;
}

}  // namespace artwork
