// PreviewPanel: the caption and the drawing of the preview.
#include "PreviewPanel.h"

#include <cmath>
#include <numbers>

#include <QLabel>
#include <QVBoxLayout>

#include "PreviewView.h"
#include "util/MyFunc.h"

namespace {

constexpr int kCaptionHeight = 20;

QString Number(double v) {
    return QString::fromStdU16String(FloatToText(RoundDigits(v, 3, 2)));
}

// An angle in degrees with the places the angle box shows one: the mode writes the direction
// between two points there to twelve places.
QString AngleNumber(double degrees) {
    return QString::fromStdU16String(FloatToText(RoundDigits(degrees, 12, 2)));
}

QString OrientationName(int code) {
    switch (code) {
        case 1: return QStringLiteral("縦字");
        case 8: return QStringLiteral("日影");
        case 9: return QStringLiteral("2.5D");
        default: return QStringLiteral("横字");
    }
}

// Whether every number the drawing needs is a number: huge offsets can carry the point past
// the largest double.
bool Drawable(const TTextPlacement& p) {
    const double values[] = {p.x, p.y, p.dx, p.dy, p.baseX, p.baseY, p.w, p.h, p.d, p.length};
    for (double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

}  // namespace

TPreviewPanel::TPreviewPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PreviewPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    Caption = new QLabel(this);
    Caption->setObjectName(QStringLiteral("PreviewCaption"));
    Caption->setFixedHeight(kCaptionHeight);
    Caption->setTextFormat(Qt::PlainText);
    View = new TPreviewView(this);
    View->setObjectName(QStringLiteral("PreviewView"));
    View->setToolTip(
        QStringLiteral("ホイール: 拡大縮小　ドラッグ: 移動　ダブルクリック: 全体表示"));
    layout->addWidget(Caption);
    layout->addWidget(View, 1);
}

void TPreviewPanel::SetHost(const TJGdata* jg) {
    View->SetHost(jg);
}

QString TPreviewPanel::CaptionOf(const TTextPlacement& p) {
    if (StripBlanks(p.text).empty()) {
        return QStringLiteral("文字が空のため配置を表示できません");
    }
    if (!Drawable(p)) {
        return QStringLiteral("この値では文字の位置を計算できません");
    }
    QString caption = OrientationName(p.orientation);
    if (p.orientation == 8 || p.orientation == 9) {
        // These commands place the text in the host's own way; the box is where it goes.
        caption += QStringLiteral("（配置枠のみ）");
    }
    caption += QStringLiteral("  ") + AngleNumber(p.theta * 180.0 / std::numbers::pi) +
               QStringLiteral("°");
    caption += QStringLiteral("  W") + Number(p.w) + QStringLiteral(" H") + Number(p.h) +
               QStringLiteral(" D") + Number(p.d);
    if (p.fit) {
        caption += QStringLiteral("  2点間に合わせる");
    }
    return caption;
}

void TPreviewPanel::ShowPlacement(const TTextPlacement& p) {
    shown_ = p;
    Caption->setText(CaptionOf(p));
    if (StripBlanks(p.text).empty() || !Drawable(p)) {
        View->SetText(std::nullopt);
    } else {
        View->SetText(p);
    }
}
