#include "platform/ui/Dialog.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>

#include "platform/ui/DialogImpl.h"
#include "platform/ui/DialogWindow.h"
#include "platform/ui/EditValidator.h"
#include "platform/ui/MenuChoice.h"
#include "platform/ui/QtImage.h"
#include "platform/ui/QtText.h"

namespace ui {
namespace {

// The low four bits of a system command are the desktop's own; commands compare without them.
constexpr unsigned kSysCommandMask = 0xFFF0;

ModalHook& CurrentModalHook() {
    static ModalHook hook;
    return hook;
}

} // namespace

Dialog::Impl* ImplOf(Dialog& dialog) {
    return dialog.m_impl.get();
}

void DataExchange::Text(int id, std::string& value) {
    if (m_saving)
        value = m_dialog.GetDlgItemText(id);
    else
        m_dialog.SetDlgItemText(id, value);
}

void DataExchange::Check(int id, int& value) {
    if (m_saving)
        value = m_dialog.GetCheck(id);
    else
        m_dialog.SetCheck(id, value);
}

void DataExchange::ComboIndex(int id, int& value) {
    ComboBox combo = m_dialog.Combo(id);
    if (m_saving)
        value = combo.GetCurSel();
    else
        combo.SetCurSel(value);
}

Dialog::Dialog(const DialogTemplate& tpl, Dialog* parent)
    : m_template(tpl), m_parent(parent), m_impl(std::make_unique<Impl>(*this)) {}

Dialog::~Dialog() {
    // The derived dialog is gone already: no handler may run from here on.
    m_impl->dying = true;
    m_impl.reset();
}

bool Dialog::Create() {
    m_impl->Build();
    if (OnInitDialog())
        m_impl->SetInitialFocus();
    // A window whose template says visible shows once it is initialised, as a modeless dialog does.
    if (m_impl->created && (m_template.style & style::kVisible) != 0)
        m_impl->window->show();
    return true;
}

bool Dialog::IsCreated() const {
    return m_impl->created;
}

int Dialog::DoModal() {
    bool focusFirst = true;
    if (!m_impl->created) {
        m_impl->Build();
        focusFirst = OnInitDialog();
    }
    if (!m_impl->ended) {
        m_impl->ShowModal();
        if (focusFirst)
            m_impl->SetInitialFocus();
        // The hook runs once the loop runs, as a user would act on the dialog just shown.
        m_impl->Post([this] {
            const ModalHook hook = CurrentModalHook(); // the hook may replace itself while it runs
            if (hook)
                hook(*this);
        });
        QEventLoop loop;
        m_impl->loop = &loop;
        if (!m_impl->ended)
            loop.exec(QEventLoop::DialogExec);
        m_impl->loop = nullptr;
    }
    m_impl->EndWindow();
    return m_impl->result;
}

void Dialog::EndDialog(int result) {
    m_impl->result = result;
    m_impl->ended = true;
    if (m_impl->loop != nullptr)
        m_impl->loop->exit(result); // DoModal ends the window once the loop returns
    else if (m_impl->created)
        m_impl->EndWindow();
}

void Dialog::PostClose() {
    m_impl->Post([this] { OnClose(); });
}

void Dialog::PostToUiThread(std::function<void()> fn) {
    m_impl->Post(std::move(fn));
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

void Dialog::SetWindowText(const std::string& text) {
    if (m_impl->window)
        m_impl->window->setWindowTitle(ToQt(text));
}

std::string Dialog::GetWindowText() const {
    return m_impl->window ? FromQt(m_impl->window->windowTitle()) : std::string();
}

void Dialog::SetDlgItemText(int id, const std::string& text) {
    if (ControlState* state = m_impl->Find(id))
        m_impl->SetText(*state, text);
}

std::string Dialog::GetDlgItemText(int id) const {
    const ControlState* state = m_impl->Find(id);
    return state != nullptr ? m_impl->Text(*state) : std::string();
}

void Dialog::EnableItem(int id, bool enable) {
    if (ControlState* state = m_impl->Find(id))
        m_impl->Enable(*state, enable);
}

bool Dialog::IsItemEnabled(int id) const {
    const ControlState* state = m_impl->Find(id);
    return state != nullptr && state->widget && state->enabled;
}

bool Dialog::IsItemVisible(int id) const {
    const ControlState* state = m_impl->Find(id);
    return state != nullptr && state->widget && !state->widget->isHidden();
}

void Dialog::ShowItem(int id, bool show) {
    const ControlState* state = m_impl->Find(id);
    if (state != nullptr && state->widget)
        state->widget->setVisible(show);
}

void Dialog::LimitText(int id, int maxChars) {
    ControlState* state = m_impl->Find(id);
    if (state == nullptr || state->tpl.kind != ControlKind::Edit)
        return;
    state->limitBytes = maxChars > 0 ? maxChars : 0;
    if (auto* edit = state->As<QLineEdit>())
        edit->setValidator(
            new EditValidator(edit, (state->tpl.style & style::kNumber) != 0, state->limitBytes));
}

int Dialog::GetCheck(int id) const {
    const ControlState* state = m_impl->Find(id);
    const auto* box = state != nullptr ? state->As<QCheckBox>() : nullptr;
    if (box == nullptr)
        return 0;
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void Dialog::SetCheck(int id, int state) {
    const ControlState* control = m_impl->Find(id);
    auto* box = control != nullptr ? control->As<QCheckBox>() : nullptr;
    if (box == nullptr)
        return;
    if (state == 2)
        box->setTristate(true);
    box->setCheckState(state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

bool Dialog::HasItem(int id) const {
    return m_impl->Find(id) != nullptr;
}

ListView Dialog::List(int id) {
    return ListView(&m_impl->StateOf(id));
}

ComboBox Dialog::Combo(int id) {
    return ComboBox(&m_impl->StateOf(id));
}

IpAddressCtrl Dialog::IpAddress(int id) {
    return IpAddressCtrl(&m_impl->StateOf(id));
}

bool Dialog::HasSystemMenu() const {
    return (m_template.style & style::kSysMenu) != 0;
}

void Dialog::AppendSystemMenuSeparator() {
    m_impl->systemMenu.AppendSeparator();
}

void Dialog::AppendSystemMenuItem(unsigned command, const std::string& text) {
    m_impl->systemMenu.AppendItem(static_cast<int>(command), text);
}

const PopupMenu& Dialog::SystemMenu() const {
    return m_impl->systemMenu;
}

void Dialog::SetIcon(int imageResourceId, bool) {
    // One picture serves as both the large and the small icon: Qt scales it to each use.
    const QImage image = RegisteredQImage(imageResourceId);
    if (image.isNull())
        return;
    m_impl->icon = QIcon(QPixmap::fromImage(image));
    if (m_impl->window)
        m_impl->window->setWindowIcon(m_impl->icon);
}

void Dialog::TrackPopupMenu(const PopupMenu& menu, int x, int y) {
    // The chosen command runs before this returns, as the program expects of its menus.
    const int command = ChoosePopupCommand(m_impl->window, menu.Items(), x, y);
    if (command != 0)
        m_impl->Command(command, true);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK() {
    if (UpdateData(true))
        EndDialog(kIdOk);
}

void Dialog::OnCancel() {
    EndDialog(kIdCancel);
}

void Dialog::OnClose() {
    EndDialog(kIdCancel);
}

void Dialog::OnSysCommand(unsigned command) {
    switch (command & kSysCommandMask) {
    case kScMinimize:
        if (m_impl->window)
            m_impl->window->showMinimized();
        break;
    case kScClose:
        OnClose();
        break;
    default:
        break;
    }
}

void Dialog::OnClicked(int id, std::function<void()> handler) {
    m_impl->clicked[id] = std::move(handler);
}

void Dialog::OnSelChange(int id, std::function<void()> handler) {
    m_impl->selChange[id] = std::move(handler);
}

void Dialog::OnDblClk(int id, std::function<void()> handler) {
    m_impl->dblClk[id] = std::move(handler);
}

void Dialog::OnRClick(int id, std::function<void()> handler) {
    m_impl->rClick[id] = std::move(handler);
}

void Dialog::OnCommand(int id, std::function<void()> handler) {
    m_impl->commands[id] = std::move(handler);
}

ModalHook SetModalHook(ModalHook hook) {
    ModalHook previous = std::move(CurrentModalHook());
    CurrentModalHook() = std::move(hook);
    return previous;
}

} // namespace ui
