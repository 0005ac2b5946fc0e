#pragma once

#include <QWidget>

namespace tl {

// The bar of the progress window: a filled rectangle from the left edge whose
// width is position / total of the area. A total of 0 draws an empty bar; a
// position beyond the total fills the area.
class ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);
    void setRange(int total);
    void setPosition(int position);
    int filledWidth() const;
    QSize sizeHint() const override { return {320, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_total = 0;
    int m_position = 0;
};

} // namespace tl
