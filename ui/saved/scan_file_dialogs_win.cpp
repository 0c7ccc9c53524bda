#include "ui/saved/scan_file_dialogs_win.h"

#include <objbase.h>
#include <shobjidl.h>

#include <string_view>
#include <vector>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "ui/common/com_apartment_win.h"
#include "ui/common/file_dialog_win.h"

namespace ombrix::ui {
namespace {

struct FilterText {
  const char* key;
  std::u16string_view patterns;
};

constexpr FilterText kOpenFilters[] = {
    {"dialog.scan_file.all_scans", u"*.ombrixscan;*.json"},
    {"dialog.scan_file.ombrix_scans", u"*.ombrixscan"},
    {"dialog.scan_file.ncdu_exports", u"*.json"},
    {"dialog.scan_file.all_files", u"*.*"},
};
constexpr FilterText kSaveFilters[] = {
    {"dialog.scan_file.ombrix_scans", u"*.ombrixscan"},
};

// The texts outlive the dialog's use of the filter entries that point into them.
class Filters {
 public:
  template <std::size_t N>
  Filters(i18n::LanguageStrings& language, const FilterText (&filters)[N]) {
    for (const FilterText& filter : filters) {
      names_.push_back(language.Translate(filter.key) + u" (" + std::u16string(filter.patterns) +
                       u")");
      patterns_.emplace_back(filter.patterns);
    }
    for (std::size_t i = 0; i < names_.size(); ++i) {
      specs_.push_back({base::WideView(names_[i]), base::WideView(patterns_[i])});
    }
  }
  bool ApplyTo(IFileDialog& dialog) const {
    return SUCCEEDED(dialog.SetFileTypes(static_cast<UINT>(specs_.size()), specs_.data()));
  }

 private:
  std::vector<std::u16string> names_;
  std::vector<std::u16string> patterns_;
  std::vector<COMDLG_FILTERSPEC> specs_;
};

template <typename Dialog>
std::u16string AskScanFile(const CLSID& kind, HWND owner, const std::u16string& title,
                           const Filters& filters, const std::u16string& suggestedName) {
  base::ComPtr<Dialog> dialog;
  if (FAILED(::CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.put())))) {
    return {};
  }
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(dialog->GetOptions(&options)) ||
      FAILED(dialog->SetOptions(options | FOS_FORCEFILESYSTEM)) || !filters.ApplyTo(*dialog.get())) {
    return {};
  }
  dialog->SetTitle(base::WideView(title));
  if (!suggestedName.empty()) {
    dialog->SetFileName(base::WideView(suggestedName));
    dialog->SetDefaultExtension(L"ombrixscan");
  }
  return ShowFileDialog(*dialog.get(), owner);
}

std::u16string AskScanFileToRead(HWND owner, i18n::LanguageStrings& language,
                                 const char* titleKey) {
  const ComApartment apartment;
  if (!apartment.usable()) return {};
  const Filters filters(language, kOpenFilters);
  return AskScanFile<IFileOpenDialog>(CLSID_FileOpenDialog, owner, language.Translate(titleKey),
                                      filters, {});
}

}  // namespace

std::u16string AskScanFileToOpen(HWND owner, i18n::LanguageStrings& language) {
  return AskScanFileToRead(owner, language, "dialog.scan_file.open_title");
}

std::u16string AskScanFileToCompare(HWND owner, i18n::LanguageStrings& language) {
  return AskScanFileToRead(owner, language, "dialog.scan_file.compare_title");
}

std::u16string AskScanFileToSave(HWND owner, i18n::LanguageStrings& language,
                                 const std::u16string& suggestedName) {
  const ComApartment apartment;
  if (!apartment.usable()) return {};
  const Filters filters(language, kSaveFilters);
  return AskScanFile<IFileSaveDialog>(CLSID_FileSaveDialog, owner,
                                      language.Translate("dialog.scan_file.save_title"), filters,
                                      suggestedName);
}

}  // namespace ombrix::ui
