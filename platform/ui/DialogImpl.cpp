#include "platform/ui/DialogImpl.h"

#include <algorithm>
#include <utility>

#include <QComboBox>
#include <QCursor>
#include <QEventLoop>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include "platform/ui/CheckBox.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/DialogWindow.h"
#include "platform/ui/EditValidator.h"
#include "platform/ui/IpAddressWidget.h"
#include "platform/ui/MenuChoice.h"
#include "platform/ui/PictureStatic.h"
#include "platform/ui/QtImage.h"
#include "platform/ui/QtText.h"
#include "platform/ui/ReportList.h"

namespace ui {
namespace {

// The dialog face and the background of every control on it, as the program's colour value
// 0x00BBGGRR: red 241, green 240, blue 240. The list's item area and the edits stay white.
constexpr std::uint32_t kFaceColorRef = 0xF0F0F1;
// A static icon takes the desktop's large-icon size, whatever its rectangle says.
constexpr int kIconSize = 32;
constexpr char kMinimizeText[] = "Minimize";
constexpr char kCloseText[] = "Close";

QColor FromColorRef(std::uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

// A static control without the no-prefix style shows "&&" as "&" and drops a single '&', which
// marks a mnemonic on the original platform.
QString WithoutPrefixes(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out.append(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'&') {
            out.append(u'&');
            ++i;
        }
    }
    return out;
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::ListView:
    case ControlKind::IpAddress:
        return true;
    default:
        return false;
    }
}

bool IsPicture(ControlKind kind) {
    return kind == ControlKind::Bitmap || kind == ControlKind::Icon;
}

// The widget that receives the focus for the control: an IP-address control's first field.
QWidget* FocusTarget(const ControlState& state) {
    if (auto* ip = state.As<IpAddressWidget>())
        return ip->Field(0);
    return state.widget.data();
}

Qt::WindowFlags WindowFlagsFor(std::uint32_t windowStyle) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((windowStyle & style::kCaption) == 0)
        return flags | Qt::FramelessWindowHint;
    flags |= Qt::WindowTitleHint;
    if ((windowStyle & style::kSysMenu) != 0)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if ((windowStyle & style::kMinimizeBox) != 0)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags; // never a maximize box nor a sizing border: the dialogs have a fixed size
}

} // namespace

Dialog::Impl::Impl(Dialog& dialog) : owner(dialog) {
    for (const ControlTemplate& tpl : dialog.m_template.controls)
        controls.push_back(ControlState{tpl, {}, tpl.text});
    ResetSystemMenu();
}

Dialog::Impl::~Impl() {
    dying = true;
    QObject* poster = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_postLock);
        std::swap(poster, m_poster);
    }
    // Deleted here and now: work posted to it captured this object and must never run later.
    delete poster;
    delete window.data();
}

void Dialog::Impl::ResetSystemMenu() {
    systemMenu = PopupMenu();
    if ((owner.m_template.style & style::kMinimizeBox) != 0)
        systemMenu.AppendItem(static_cast<int>(kScMinimize), kMinimizeText);
    systemMenu.AppendItem(static_cast<int>(kScClose), kCloseText);
}

void Dialog::Impl::Build() {
    EndWindow();
    delete window.data();

    const DialogTemplate& tpl = owner.m_template;
    QWidget* parentWindow = nullptr;
    if (owner.m_parent != nullptr && owner.m_parent->m_impl->created)
        parentWindow = owner.m_parent->m_impl->window.data();

    DialogWindow::Handlers handlers;
    handlers.enter = [this] { Enter(); };
    handlers.escape = [this] { Command(kIdCancel, false); };
    handlers.closeBox = [this] {
        if (!dying)
            owner.OnClose();
    };
    handlers.backgroundMenu = [this](QPoint pos) { ShowSystemMenu(pos); };
    window = new DialogWindow(parentWindow, WindowFlagsFor(tpl.style), std::move(handlers));

    const QFont font = DialogFont(tpl.fontName, tpl.pointSize);
    window->setFont(font);
    const DialogUnits units(font);
    window->setFixedSize(units.X(tpl.cx), units.Y(tpl.cy));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, FromColorRef(kFaceColorRef));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setWindowTitle(ToQt(tpl.title));
    if (!icon.isNull())
        window->setWindowIcon(icon);

    for (ControlState& state : controls) {
        state.text = state.tpl.text;
        state.limitBytes = 0;
        state.listStyle = ControlState::kInitialListStyle;
        state.listExStyle = 0;
        state.listColumns = 0;
        CreateControl(state, units);
    }
    SetTabOrder();
    // Group boxes lie under the controls they frame and let the mouse through to the dialog.
    for (ControlState& state : controls)
        if (state.tpl.kind == ControlKind::GroupBox && state.widget)
            state.widget->lower();

    ResetSystemMenu();
    if (owner.HasSystemMenu()) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window);
        QObject::connect(shortcut, &QShortcut::activated, window, [this] { ShowSystemMenu(QCursor::pos()); });
    }
    auto* poster = new QObject(window);
    // The poster dies with its window at the latest, also when a parent's window takes it along.
    QObject::connect(poster, &QObject::destroyed, [this, poster] {
        std::lock_guard<std::mutex> guard(m_postLock);
        if (m_poster == poster)
            m_poster = nullptr;
    });
    {
        std::lock_guard<std::mutex> guard(m_postLock);
        m_poster = poster;
    }
    created = true;
    ended = false;
    result = 0;
}

void Dialog::Impl::CreateControl(ControlState& state, const DialogUnits& units) {
    const ControlTemplate& tpl = state.tpl;
    const int id = tpl.id;
    QRect rect = units.Rect(tpl.x, tpl.y, tpl.cx, tpl.cy);
    QWidget* widget = nullptr;
    switch (tpl.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(((tpl.style & style::kRightAlign) != 0 ? Qt::AlignRight : Qt::AlignLeft) |
                            Qt::AlignTop);
        if ((tpl.style & (style::kSunken | style::kClientEdge)) != 0) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(1);
        }
        widget = label;
        break;
    }
    case ControlKind::PushButton: {
        auto* button = new QPushButton(window);
        // Enter is routed by the dialog, never by Qt's own default-button logic.
        button->setAutoDefault(false);
        button->setDefault((tpl.style & style::kDefPushButton) != 0);
        QObject::connect(button, &QAbstractButton::clicked, window, [this, id] { Command(id, false); });
        widget = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new CheckBox(window);
        QObject::connect(box, &QAbstractButton::clicked, window, [this, id] { Command(id, false); });
        widget = box;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(window);
        edit->setFrame((tpl.style & (style::kBorder | style::kClientEdge)) != 0);
        if ((tpl.style & style::kPassword) != 0)
            edit->setEchoMode(QLineEdit::Password);
        edit->setValidator(new EditValidator(edit, (tpl.style & style::kNumber) != 0, 0));
        widget = edit;
        break;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(window);
        combo->setEditable(false);
        // The template's height is that of the dropped-down list; the closed box is one line.
        const int closed = std::min(combo->sizeHint().height(), rect.height());
        const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
        combo->setMaxVisibleItems(std::max(1, (rect.height() - closed) / itemHeight));
        rect.setHeight(closed);
        QObject::connect(combo, &QComboBox::currentIndexChanged, window,
                         [this, id] { Notify(selChange, id); });
        widget = combo;
        break;
    }
    case ControlKind::ListView: {
        auto* list = new ReportList(window);
        list->onDoubleClick = [this, id] { Notify(dblClk, id); };
        list->onRightClick = [this, id] { Notify(rClick, id); };
        if ((tpl.style & (style::kClientEdge | style::kBorder)) == 0)
            list->setFrameShape(QFrame::NoFrame);
        list->ApplyStyle(state.listStyle);
        widget = list;
        break;
    }
    case ControlKind::IpAddress:
        widget = new IpAddressWidget(window);
        break;
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(window);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        group->setFocusPolicy(Qt::NoFocus);
        widget = group;
        break;
    }
    case ControlKind::Bitmap:
    case ControlKind::Icon: {
        QPixmap picture = QPixmap::fromImage(RegisteredQImage(tpl.resourceId));
        // A static picture sizes itself to its picture, at the template's top-left corner.
        if (tpl.kind == ControlKind::Icon)
            rect.setSize(QSize(kIconSize, kIconSize));
        else if (!picture.isNull())
            rect.setSize(picture.size());
        widget = new PictureStatic(window, std::move(picture));
        break;
    }
    }
    state.widget = widget;
    state.templateRect = rect;
    if (tpl.kind == ControlKind::Edit || tpl.kind == ControlKind::IpAddress) {
        // The program paints its dialog and every control that asks for a colour, edits included, on
        // its face colour; only the list keeps the white of its items.
        QPalette colours = widget->palette();
        colours.setColor(QPalette::Base, FromColorRef(kFaceColorRef));
        widget->setPalette(colours);
    }
    widget->setGeometry(rect);
    SetText(state, state.text);
    if (TakesFocus(tpl.kind))
        FocusTarget(state)->setFocusPolicy((tpl.style & style::kTabStop) != 0 ? Qt::StrongFocus
                                                                              : Qt::ClickFocus);
    else
        widget->setFocusPolicy(Qt::NoFocus);
    if ((tpl.style & style::kVisible) == 0)
        widget->hide();
    state.enabled = true;
    Enable(state, (tpl.style & style::kDisabled) == 0);
}

void Dialog::Impl::SetTabOrder() {
    // Tab follows the template order through the controls with the tab-stop style.
    QWidget* previous = nullptr;
    for (const ControlState& state : controls) {
        if (!TakesFocus(state.tpl.kind) || (state.tpl.style & style::kTabStop) == 0 || !state.widget)
            continue;
        QWidget* target = FocusTarget(state);
        if (previous != nullptr)
            QWidget::setTabOrder(previous, target);
        previous = target;
    }
}

void Dialog::Impl::SetInitialFocus() {
    for (const ControlState& state : controls) {
        if (!TakesFocus(state.tpl.kind) || (state.tpl.style & style::kTabStop) == 0 || !state.widget)
            continue;
        if (state.widget->isHidden() || !state.enabled)
            continue;
        FocusTarget(state)->setFocus(Qt::TabFocusReason);
        return;
    }
}

void Dialog::Impl::ShowModal() {
    // Modality is fixed while a window shows: a dialog shown by Create first hides for the change.
    window->hide();
    window->setWindowModality(Qt::ApplicationModal);
    QRect area;
    if (QWidget* parent = window->parentWidget(); parent != nullptr && parent->isVisible())
        area = parent->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    window->show();
    window->activateWindow();
}

void Dialog::Impl::EndWindow() {
    QObject* poster = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_postLock);
        std::swap(poster, m_poster);
    }
    // Later, not now: this may run inside work that was posted to it. What it still holds is
    // dropped when it runs (IsCurrentPoster) and purged when it goes.
    if (poster != nullptr)
        poster->deleteLater();
    if (window) {
        window->hide();
        window->setWindowModality(Qt::NonModal);
    }
    created = false;
}

bool Dialog::Impl::IsCurrentPoster(const QObject* poster) {
    std::lock_guard<std::mutex> guard(m_postLock);
    return poster != nullptr && poster == m_poster;
}

void Dialog::Impl::Post(std::function<void()> fn) {
    std::lock_guard<std::mutex> guard(m_postLock);
    if (m_poster == nullptr)
        return;
    QObject* poster = m_poster;
    QMetaObject::invokeMethod(
        poster,
        [this, poster, fn = std::move(fn)] {
            if (IsCurrentPoster(poster))
                fn();
        },
        Qt::QueuedConnection);
}

ControlState* Dialog::Impl::Find(int id) {
    if (id == -1)
        return nullptr;
    const auto it = std::find_if(controls.begin(), controls.end(),
                                 [id](const ControlState& s) { return s.tpl.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

ControlState& Dialog::Impl::StateOf(int id) {
    ControlState* state = Find(id);
    return state != nullptr ? *state : none;
}

ControlState* Dialog::Impl::ControlOf(const QWidget* widget) {
    for (ControlState& state : controls)
        if (state.widget && widget != nullptr &&
            (state.widget == widget || state.widget->isAncestorOf(widget)))
            return &state;
    return nullptr;
}

// Our fonts are wider than the ones the templates were drawn for, so a one-line label such as
// "Language" can run past its box. A left-aligned label then widens to the right, as far as the
// next visible control on its line or the window's edge, rather than being cut; with a shorter text
// it returns to its template size.
void Dialog::Impl::FitLabel(ControlState& state) {
    auto* label = state.As<QLabel>();
    if (label == nullptr || state.templateRect.isNull())
        return;
    QRect rect = state.templateRect;
    const QString text = label->text();
    const int needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->frameWidth() + 1;
    if ((state.tpl.style & style::kRightAlign) == 0 && needed > rect.width() && !text.contains(u'\n')) {
        int limit = window->width() > 0 ? window->width() : rect.left() + needed;
        for (const ControlState& other : controls) {
            const QRect o = other.templateRect;
            if (&other == &state || (other.tpl.style & style::kVisible) == 0 || o.isNull())
                continue;
            if (o.left() > rect.right() && o.top() <= rect.bottom() && o.bottom() >= rect.top())
                limit = std::min(limit, o.left() - 1);
        }
        rect.setWidth(std::max(rect.width(), std::min(needed, limit - rect.left())));
    }
    label->setGeometry(rect);
}

void Dialog::Impl::SetText(ControlState& state, const std::string& text) {
    state.text = text;
    const QString qtext = ToQt(text);
    switch (state.tpl.kind) {
    case ControlKind::Static:
        if (auto* label = state.As<QLabel>()) {
            label->setText((state.tpl.style & style::kNoPrefix) != 0 ? qtext : WithoutPrefixes(qtext));
            FitLabel(state);
        }
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        // Buttons keep '&' for the mnemonic, as on the original platform.
        if (auto* button = state.As<QAbstractButton>())
            button->setText(qtext);
        break;
    case ControlKind::Edit:
        if (auto* edit = state.As<QLineEdit>())
            edit->setText(qtext);
        break;
    case ControlKind::GroupBox:
        if (auto* group = state.As<QGroupBox>())
            group->setTitle(qtext);
        break;
    case ControlKind::IpAddress:
        if (auto* ip = state.As<IpAddressWidget>()) {
            const QStringList parts = qtext.split(u'.');
            for (int i = 0; i < IpAddressWidget::kFields; ++i)
                ip->SetFieldText(i, i < parts.size() ? parts[i] : QString());
        }
        break;
    default: // a drop-down list, a list view and a picture show no window text
        break;
    }
}

std::string Dialog::Impl::Text(const ControlState& state) const {
    switch (state.tpl.kind) {
    case ControlKind::Static:
        return state.text; // as set: the label shows it without its '&' prefixes
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        if (auto* button = state.As<QAbstractButton>())
            return FromQt(button->text());
        break;
    case ControlKind::Edit:
        if (auto* edit = state.As<QLineEdit>())
            return FromQt(edit->text());
        break;
    case ControlKind::ComboBox:
        if (auto* combo = state.As<QComboBox>())
            return FromQt(combo->currentText());
        break;
    case ControlKind::GroupBox:
        if (auto* group = state.As<QGroupBox>())
            return FromQt(group->title());
        break;
    case ControlKind::IpAddress:
        if (auto* ip = state.As<IpAddressWidget>())
            return FromQt(ip->Text());
        break;
    default:
        break;
    }
    return {};
}

void Dialog::Impl::Enable(ControlState& state, bool enable) {
    state.enabled = enable;
    if (state.widget && !IsPicture(state.tpl.kind))
        state.widget->setEnabled(enable);
}

void Dialog::Impl::Command(int id, bool fromMenu) {
    if (dying)
        return;
    // A button click and a menu command are one kind of command on the original platform: either
    // table answers for the ID, and OK and Cancel fall back to the dialog's own handlers.
    const auto lookup = [id](const std::map<int, std::function<void()>>& table) {
        const auto it = table.find(id);
        return it == table.end() ? std::function<void()>() : it->second;
    };
    std::function<void()> handler = lookup(fromMenu ? commands : clicked);
    if (!handler)
        handler = lookup(fromMenu ? clicked : commands);
    if (handler)
        handler();
    else if (id == kIdOk)
        owner.OnOK();
    else if (id == kIdCancel)
        owner.OnCancel();
}

void Dialog::Impl::Notify(const std::map<int, std::function<void()>>& table, int id) {
    if (dying)
        return;
    const auto it = table.find(id);
    if (it == table.end())
        return;
    const std::function<void()> handler = it->second; // a handler may change the table
    handler();
}

void Dialog::Impl::Enter() {
    // A focused push button is clicked; otherwise the default push button's command, unless it is
    // disabled; otherwise OK.
    if (const ControlState* focused = ControlOf(window ? window->focusWidget() : nullptr);
        focused != nullptr && focused->tpl.kind == ControlKind::PushButton) {
        if (focused->enabled)
            Command(focused->tpl.id, false);
        return;
    }
    const auto def = std::find_if(controls.begin(), controls.end(), [](const ControlState& s) {
        return s.tpl.kind == ControlKind::PushButton && (s.tpl.style & style::kDefPushButton) != 0;
    });
    if (def != controls.end()) {
        if (def->enabled)
            Command(def->tpl.id, false);
        return;
    }
    Command(kIdOk, false);
}

void Dialog::Impl::ShowSystemMenu(QPoint globalPos) {
    if (dying || !owner.HasSystemMenu())
        return;
    const int command = ChoosePopupCommand(window, systemMenu.Items(), globalPos.x(), globalPos.y());
    if (command != 0)
        owner.OnSysCommand(static_cast<unsigned>(command));
}

} // namespace ui
