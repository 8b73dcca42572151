#include "ImportColumnHeader.h"

#include <QComboBox>
#include <QPainter>

TImportColumnHeader::TImportColumnHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setObjectName("ColumnHeader");
    setSectionsClickable(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionResized, this, &TImportColumnHeader::PlaceBoxes);
    connect(this, &QHeaderView::sectionCountChanged, this, &TImportColumnHeader::PlaceBoxes);
}

int TImportColumnHeader::BoxHeight() const {
    if (!boxes_.empty())
        return boxes_.front()->sizeHint().height();
    QComboBox probe;
    return probe.sizeHint().height();
}

QSize TImportColumnHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(size.height() + BoxHeight() + 2);
    return size;
}

void TImportColumnHeader::SetChoices(const QStringList& items, const std::vector<int>& current) {
    while (boxes_.size() > current.size()) {
        delete boxes_.back();
        boxes_.pop_back();
    }
    while (boxes_.size() < current.size()) {
        // Children of the viewport, so that scrolling the header moves them along.
        auto* box = new QComboBox(viewport());
        const int section = int(boxes_.size());
        box->setObjectName(QString("ColumnCB%1").arg(section + 1));
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        connect(box, &QComboBox::activated, this,
                [this, section](int item) { emit Chosen(section, item); });
        boxes_.push_back(box);
    }
    for (size_t i = 0; i < boxes_.size(); ++i) {
        QComboBox* box = boxes_[i];
        const QSignalBlocker quiet(box);
        if (box->count() != items.size() || box->itemText(box->count() - 1) != items.back()) {
            box->clear();
            box->addItems(items);
        }
        box->setCurrentIndex(current[i]);
    }
    updateGeometry();
    PlaceBoxes();
}

void TImportColumnHeader::FitBoxes() {
    for (int i = 0; i < Boxes() && i < count(); ++i)
        if (const int wide = boxes_[size_t(i)]->sizeHint().width() + 2; sectionSize(i) < wide)
            resizeSection(i, wide);
}

void TImportColumnHeader::paintSection(QPainter* painter, const QRect& rect,
                                       int logicalIndex) const {
    const int top = BoxHeight() + 2;
    painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), top), palette().window());
    QHeaderView::paintSection(painter, rect.adjusted(0, top, 0, 0), logicalIndex);
}

void TImportColumnHeader::updateGeometries() {
    QHeaderView::updateGeometries();
    PlaceBoxes();
}

void TImportColumnHeader::PlaceBoxes() {
    const int height = BoxHeight();
    for (int i = 0; i < Boxes(); ++i) {
        QComboBox* box = boxes_[size_t(i)];
        const bool shown = i < count() && !isSectionHidden(i);
        if (shown)
            box->setGeometry(sectionViewportPosition(i) + 1, 1, sectionSize(i) - 2, height);
        box->setVisible(shown);
    }
}
