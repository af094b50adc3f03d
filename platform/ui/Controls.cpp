#include "platform/ui/Controls.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QVariant>

#include "platform/ui/ControlState.h"
#include "platform/ui/IpAddressWidget.h"
#include "platform/ui/QtText.h"
#include "platform/ui/ReportList.h"

namespace ui {
namespace {

// Where a row keeps its item data: on column 0, beside the texts.
constexpr int kItemDataRole = Qt::UserRole;

ReportList* ListOf(const ControlState* state) {
    return state != nullptr ? state->As<ReportList>() : nullptr;
}

QTreeWidgetItem* RowOf(const ControlState* state, int row) {
    const ReportList* list = ListOf(state);
    return list != nullptr && row >= 0 && row < list->topLevelItemCount() ? list->topLevelItem(row) : nullptr;
}

// A row has a text for every inserted column, and always one for the item itself (column 0).
bool IsTextColumn(const ControlState* state, int col) {
    return col >= 0 && col < std::max(1, state->listColumns);
}

// Qt's tree model appends new columns at the end: texts from pos on move one column right.
void ShiftTextsRight(QTreeWidgetItem* item, int pos, int count) {
    for (int col = count; col > pos; --col)
        item->setText(col, item->text(col - 1));
    item->setText(pos, QString());
}

QComboBox* ComboOf(const ControlState* state) {
    return state != nullptr ? state->As<QComboBox>() : nullptr;
}

IpAddressWidget* IpOf(const ControlState* state) {
    return state != nullptr ? state->As<IpAddressWidget>() : nullptr;
}

} // namespace

std::uint32_t ListView::GetStyle() const {
    return m_state->listStyle;
}

void ListView::SetStyle(std::uint32_t style) {
    m_state->listStyle = style;
    if (ReportList* list = ListOf(m_state))
        list->ApplyStyle(style);
}

std::uint32_t ListView::GetExtendedStyle() const {
    return m_state->listExStyle;
}

void ListView::SetExtendedStyle(std::uint32_t mask, std::uint32_t value) {
    // Rows are always selected whole here; the full-row-select bit is kept for the program to read.
    m_state->listExStyle = (m_state->listExStyle & ~mask) | (value & mask);
}

int ListView::InsertColumn(int pos, const std::string& text, int width) {
    ReportList* list = ListOf(m_state);
    if (list == nullptr || pos < 0)
        return -1;
    const int count = m_state->listColumns;
    pos = std::min(pos, count);
    if (count > 0) {
        std::vector<int> widths;
        widths.reserve(static_cast<std::size_t>(count));
        for (int col = 0; col < count; ++col)
            widths.push_back(list->columnWidth(col));
        list->setColumnCount(count + 1);
        ShiftTextsRight(list->headerItem(), pos, count);
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            ShiftTextsRight(list->topLevelItem(row), pos, count);
        for (int col = pos; col < count; ++col)
            list->setColumnWidth(col + 1, widths[static_cast<std::size_t>(col)]);
    }
    list->headerItem()->setText(pos, ToQt(text));
    list->setColumnWidth(pos, width);
    m_state->listColumns = count + 1;
    return pos;
}

void ListView::SetColumnText(int pos, const std::string& text) {
    ReportList* list = ListOf(m_state);
    if (list != nullptr && pos >= 0 && pos < m_state->listColumns)
        list->headerItem()->setText(pos, ToQt(text));
}

std::string ListView::GetColumnText(int pos) const {
    const ReportList* list = ListOf(m_state);
    if (list == nullptr || pos < 0 || pos >= m_state->listColumns)
        return {};
    return FromQt(list->headerItem()->text(pos));
}

int ListView::GetColumnWidth(int pos) const {
    const ReportList* list = ListOf(m_state);
    return list != nullptr && pos >= 0 && pos < m_state->listColumns ? list->columnWidth(pos) : 0;
}

int ListView::GetColumnCount() const {
    return ListOf(m_state) != nullptr ? m_state->listColumns : 0;
}

int ListView::GetItemCount() const {
    const ReportList* list = ListOf(m_state);
    return list != nullptr ? list->topLevelItemCount() : 0;
}

int ListView::InsertItem(int pos, const std::string& text) {
    ReportList* list = ListOf(m_state);
    if (list == nullptr || pos < 0)
        return -1;
    pos = std::min(pos, list->topLevelItemCount());
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setText(0, ToQt(text));
    list->insertTopLevelItem(pos, item);
    return pos;
}

bool ListView::SetItemText(int row, int col, const std::string& text) {
    QTreeWidgetItem* item = RowOf(m_state, row);
    if (item == nullptr || !IsTextColumn(m_state, col))
        return false;
    item->setText(col, ToQt(text));
    return true;
}

std::string ListView::GetItemText(int row, int col) const {
    const QTreeWidgetItem* item = RowOf(m_state, row);
    if (item == nullptr || !IsTextColumn(m_state, col))
        return {};
    return FromQt(item->text(col));
}

bool ListView::SetItemData(int row, void* data) {
    QTreeWidgetItem* item = RowOf(m_state, row);
    if (item == nullptr)
        return false;
    item->setData(0, kItemDataRole, QVariant::fromValue(data));
    return true;
}

void* ListView::GetItemData(int row) const {
    const QTreeWidgetItem* item = RowOf(m_state, row);
    return item != nullptr ? item->data(0, kItemDataRole).value<void*>() : nullptr;
}

void ListView::DeleteAllItems() {
    if (ReportList* list = ListOf(m_state))
        list->clear();
}

int ListView::GetNextSelectedItem(int start) const {
    const ReportList* list = ListOf(m_state);
    if (list == nullptr)
        return -1;
    for (int row = std::max(start + 1, 0); row < list->topLevelItemCount(); ++row)
        if (list->topLevelItem(row)->isSelected())
            return row;
    return -1;
}

void ListView::SetItemSelected(int row, bool selected) {
    if (QTreeWidgetItem* item = RowOf(m_state, row))
        item->setSelected(selected);
}

int ComboBox::AddString(const std::string& text) {
    QComboBox* combo = ComboOf(m_state);
    if (combo == nullptr)
        return -1;
    // Adding never selects, nor reports a selection change.
    const QSignalBlocker quiet(combo);
    const int selected = combo->currentIndex();
    combo->addItem(ToQt(text));
    if (selected < 0)
        combo->setCurrentIndex(-1);
    return combo->count() - 1;
}

int ComboBox::GetCount() const {
    const QComboBox* combo = ComboOf(m_state);
    return combo != nullptr ? combo->count() : 0;
}

std::string ComboBox::GetLBText(int index) const {
    const QComboBox* combo = ComboOf(m_state);
    if (combo == nullptr || index < 0 || index >= combo->count())
        return {};
    return FromQt(combo->itemText(index));
}

int ComboBox::GetCurSel() const {
    const QComboBox* combo = ComboOf(m_state);
    return combo != nullptr ? combo->currentIndex() : -1;
}

void ComboBox::SetCurSel(int index) {
    QComboBox* combo = ComboOf(m_state);
    if (combo == nullptr)
        return;
    // A selection the program makes is not reported as a change; an index out of range clears it.
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void IpAddressCtrl::SetAddress(std::uint32_t addrNetworkOrder) {
    IpAddressWidget* ip = IpOf(m_state);
    if (ip == nullptr)
        return;
    // Network byte order: the address's bytes lie in memory first part first.
    unsigned char bytes[IpAddressWidget::kFields];
    std::memcpy(bytes, &addrNetworkOrder, sizeof bytes);
    ip->SetFields({bytes[0], bytes[1], bytes[2], bytes[3]});
}

std::array<int, 4> IpAddressCtrl::GetFields() const {
    const IpAddressWidget* ip = IpOf(m_state);
    if (ip == nullptr)
        return {};
    return {ip->Value(0), ip->Value(1), ip->Value(2), ip->Value(3)};
}

void IpAddressCtrl::SetFieldText(int field, const std::string& text) {
    if (IpAddressWidget* ip = IpOf(m_state))
        ip->SetFieldText(field, ToQt(text));
}

bool IpAddressCtrl::IsFieldBlank(int field) const {
    const IpAddressWidget* ip = IpOf(m_state);
    return ip == nullptr || ip->IsBlank(field);
}

void IpAddressCtrl::ClearAddress() {
    if (IpAddressWidget* ip = IpOf(m_state))
        ip->Clear();
}

} // namespace ui
