#include "ui/html_engine.h"

#include <ole2.h>

#include "platform/win32/win_api.h"

namespace harvio::ui {
namespace {

// The HTML document object, the part of the engine every HTML view needs.
constexpr CLSID kHtmlDocumentClass = {
    0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

bool CanCreateHtmlDocument() {
  IUnknown* document = nullptr;
  if (FAILED(CoCreateInstance(kHtmlDocumentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&document)))) {
    return false;
  }
  document->Release();
  return true;
}

}  // namespace

bool HtmlEngineAvailable() {
  static const bool available = CanCreateHtmlDocument();
  return available;
}

}  // namespace harvio::ui
