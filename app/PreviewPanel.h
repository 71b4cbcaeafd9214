// PreviewPanel: the panel beside the dialog that shows where OK will place the text: a caption
// naming the orientation and the mode, and the drawing below it.
#pragma once

#include <optional>

#include <QString>
#include <QWidget>

#include "Unit1Logic.h"

class QLabel;
class TJGdata;
class TPreviewView;

class TPreviewPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPreviewPanel(QWidget* parent = nullptr);

    void SetHost(const TJGdata* jg);
    // The text as OK would place it; a blank text shows no box and says so.
    void ShowPlacement(const TTextPlacement& p);

    // The placement last shown.
    const TTextPlacement& Shown() const { return shown_; }

    // The caption's text for a placement.
    static QString CaptionOf(const TTextPlacement& p);

    QLabel* Caption = nullptr;
    TPreviewView* View = nullptr;

private:
    TTextPlacement shown_;
};
