#include "window/settings_binder.h"

#include <QSignalBlocker>

#include "window/qt_text.h"

namespace plotrak {
namespace {

QString Name(SettingId id) {
  return QStringLiteral("setting_%1").arg(static_cast<int>(id));
}

}  // namespace

QLineEdit* SettingsBinder::Text(SettingId id, const char* hint, bool masked) {
  auto* edit = new QLineEdit;
  edit->setObjectName(Name(id));
  edit->setProperty("role", "setting");
  edit->setMaxLength(1000);
  if (hint) edit->setToolTip(QString::fromUtf8(hint));
  if (masked) edit->setEchoMode(QLineEdit::Password);
  QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id](const QString& text) {
    values_.SetText(id, FromQt(text));
    Edited(id);
  });
  refresh_[id] = [this, id, edit] {
    const QString text = ToQt(values_.Text(id));
    if (edit->text() == text) return;
    const QSignalBlocker block(edit);
    edit->setText(text);
  };
  refresh_[id]();
  return edit;
}

QCheckBox* SettingsBinder::Flag(SettingId id, const char* caption, const char* hint,
                                std::function<void(bool)> onClick) {
  auto* box = new QCheckBox(QString::fromUtf8(caption));
  box->setObjectName(Name(id));
  if (hint) box->setToolTip(QString::fromUtf8(hint));
  if (onClick) {
    QObject::connect(box, &QCheckBox::clicked, box, [this, id, onClick](bool checked) {
      onClick(checked);
      Edited(id);
    });
  } else {
    QObject::connect(box, &QCheckBox::toggled, box, [this, id](bool checked) {
      values_.SetFlag(id, checked);
      Edited(id);
    });
  }
  refresh_[id] = [this, id, box] {
    const QSignalBlocker block(box);
    box->setChecked(values_.Flag(id));
  };
  refresh_[id]();
  return box;
}

QSlider* SettingsBinder::Slider(SettingId id) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setObjectName(Name(id));
  slider->setRange(0, 1000);
  slider->setPageStep(50);
  QObject::connect(slider, &QSlider::valueChanged, slider, [this, id](int value) {
    values_.SetNumber(id, ClampSlider(value));
    Edited(id);
  });
  refresh_[id] = [this, id, slider] {
    const QSignalBlocker block(slider);
    slider->setValue(ClampSlider(values_.Number(id)));
  };
  refresh_[id]();
  return slider;
}

QComboBox* SettingsBinder::List(SettingId id, const QStringList& items) {
  auto* list = new QComboBox;
  list->setObjectName(Name(id));
  list->addItems(items);
  QObject::connect(list, &QComboBox::currentIndexChanged, list, [this, id](int index) {
    values_.SetNumber(id, index);
    Edited(id);
  });
  refresh_[id] = [this, id, list] {
    const QSignalBlocker block(list);
    list->setCurrentIndex(ClampStatus(values_.Number(id)));
  };
  refresh_[id]();
  return list;
}

void SettingsBinder::Refresh(SettingId id) {
  auto found = refresh_.find(id);
  if (found != refresh_.end()) found->second();
}

void SettingsBinder::RefreshAll() {
  for (auto& [id, refresh] : refresh_) refresh();
}

}  // namespace plotrak
