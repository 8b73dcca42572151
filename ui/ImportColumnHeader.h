#pragma once
// The import preview's column titles with a combo box above each, choosing the table column the
// file column feeds or "(ignore)". The boxes live in the header, so they stay in view while the
// rows scroll and move with their columns when the preview scrolls sideways.

#include <QHeaderView>

#include <vector>

class QComboBox;

class TImportColumnHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TImportColumnHeader(QWidget* parent = nullptr);

    // One box per section holding `items`; `current` gives each box's item.
    void SetChoices(const QStringList& items, const std::vector<int>& current);
    int Boxes() const { return int(boxes_.size()); }
    QComboBox* Box(int section) const { return boxes_[size_t(section)]; }
    // Widens the sections whose box would not show its longest item.
    void FitBoxes();

    QSize sizeHint() const override;

signals:
    void Chosen(int section, int item); // by the user, not by SetChoices

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void updateGeometries() override;

private:
    void PlaceBoxes();
    int BoxHeight() const;

    std::vector<QComboBox*> boxes_;
};
