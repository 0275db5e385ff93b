#pragma once

#include <QLabel>
#include <QPixmap>

#include <vector>

namespace velnor {

// sp1 and sp2: an auto-size label whose caption is a row of "|", one per lit
// cell. A run changes it some 120 times a page and repaints it at once every
// time, so the size and the look of each row are worked out the first time it
// is shown and reused; a change of font, palette or style starts afresh. A
// lit cell repaints only its own strip: repainting the whole row again made
// the X11 backing store wait for the server at every cell.
class GaugeLabel : public QLabel {
    Q_OBJECT
public:
    explicit GaugeLabel(QWidget* parent = nullptr);

    // Sets the caption to that many cells and the size to the caption's, and
    // repaints at once what changed; none leave the label no width at all.
    void ShowCells(int cells);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void MakeLook(int cells);
    bool Fits(const QPixmap& look) const;

    mutable std::vector<QSize> sizes_; // by the number of cells
    std::vector<QPixmap> looks_;       // by the number of cells
    bool drawingLook_ = false;
};

} // namespace velnor
