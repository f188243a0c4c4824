#include "platform/wx/wx_clipboard.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "platform/packed_dib.h"

namespace {
constexpr std::size_t kFileHeaderSize = 14;
constexpr char kBmpMimeType[] = "image/bmp";

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

std::vector<std::uint8_t> BmpBytesOf(const wxImage& image) {
  wxMemoryOutputStream out;
  if (!image.IsOk() || !image.SaveFile(out, wxBITMAP_TYPE_BMP)) return {};
  std::vector<std::uint8_t> bytes(out.GetSize());
  out.CopyTo(bytes.data(), bytes.size());
  return bytes;
}

wxImage ImageFromBmp(const std::vector<std::uint8_t>& bmp) {
  wxMemoryInputStream in(bmp.data(), bmp.size());
  return wxImage(in, wxBITMAP_TYPE_BMP);
}
}  // namespace

std::vector<std::uint8_t> BmpFileFromPackedDib(std::span<const std::uint8_t> packed_dib) {
  const std::optional<PackedDibHeader> header = ParsePackedDib(packed_dib);
  if (!header) return {};
  std::vector<std::uint8_t> file(kFileHeaderSize + packed_dib.size());
  file[0] = 'B';
  file[1] = 'M';
  PutU32(file, 2, static_cast<std::uint32_t>(file.size()));
  PutU32(file, 10, static_cast<std::uint32_t>(kFileHeaderSize + header->bits_offset));
  std::copy(packed_dib.begin(), packed_dib.end(), file.begin() + kFileHeaderSize);
  return file;
}

std::optional<std::vector<std::uint8_t>> PackedDibFromBmpFile(std::span<const std::uint8_t> file) {
  if (file.size() <= kFileHeaderSize || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const std::span<const std::uint8_t> dib = file.subspan(kFileHeaderSize);
  const std::optional<PackedDibHeader> header = ParsePackedDib(dib);
  // The rows must start where the file header says they do.
  if (!header || GetU32(file, 10) != kFileHeaderSize + header->bits_offset) return std::nullopt;
  return std::vector<std::uint8_t>(dib.begin(), dib.end());
}

bool TWxClipboard::Open(WindowId owner) {
  (void)owner;
  if (open_) return false;
  open_ = true;
  changed_ = false;
  emptied_ = false;
  picture_.reset();
  text_.reset();
  return true;
}

bool TWxClipboard::Empty() {
  if (!open_) return false;
  picture_.reset();
  text_.reset();
  emptied_ = true;
  changed_ = true;
  return true;
}

bool TWxClipboard::SetPicture(ClipboardPicture picture) {
  if (!open_) return false;
  if (!ParsePackedDib(picture.packed_dib)) return false;
  picture_ = std::move(picture);
  changed_ = true;
  return true;
}

bool TWxClipboard::SetText(std::string text) {
  if (!open_) return false;
  text_ = std::move(text);
  changed_ = true;
  return true;
}

void TWxClipboard::Close() {
  if (!open_) return;
  open_ = false;
  if (!changed_ || !wxTheClipboard->Open()) return;
  if (emptied_) wxTheClipboard->Clear();
  auto* data = new wxDataObjectComposite;
  bool any = false;
  if (picture_) {
    const std::vector<std::uint8_t> bmp = BmpFileFromPackedDib(picture_->packed_dib);
    auto* bmp_data = new wxCustomDataObject(wxDataFormat(kBmpMimeType));
    bmp_data->SetData(bmp.size(), bmp.data());
    data->Add(bmp_data, true);
    const wxImage image = ImageFromBmp(bmp);
    if (image.IsOk()) data->Add(new wxBitmapDataObject(wxBitmap(image)));
    any = true;
  }
  if (text_) {
    data->Add(new wxTextDataObject(wxString::FromUTF8(*text_)), !picture_);
    any = true;
  }
  if (any) {
    wxTheClipboard->SetData(data);
  } else {
    delete data;
  }
  wxTheClipboard->Close();
}

void TWxClipboard::HandOver() {
  if (wxTheClipboard) wxTheClipboard->Flush();
}

bool TWxClipboard::HasPicture() const {
  if (open_ && picture_) return true;
  return wxTheClipboard->IsSupported(wxDataFormat(kBmpMimeType)) ||
         wxTheClipboard->IsSupported(wxDF_BITMAP);
}

bool TWxClipboard::HasText() const {
  if (open_ && text_) return true;
  return wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT);
}

std::optional<ClipboardPicture> TWxClipboard::GetPicture() const {
  if (!open_) return std::nullopt;
  if (picture_) return picture_;
  if (!wxTheClipboard->Open()) return std::nullopt;
  std::optional<ClipboardPicture> result;
  if (wxTheClipboard->IsSupported(wxDataFormat(kBmpMimeType))) {
    wxCustomDataObject bmp_data{wxDataFormat(kBmpMimeType)};
    if (wxTheClipboard->GetData(bmp_data)) {
      const auto* bytes = static_cast<const std::uint8_t*>(bmp_data.GetData());
      const std::vector<std::uint8_t> file(bytes, bytes + bmp_data.GetSize());
      std::optional<std::vector<std::uint8_t>> dib = PackedDibFromBmpFile(file);
      // A BMP of another kind (32 bits, compressed) is read and written again.
      if (!dib) dib = PackedDibFromBmpFile(BmpBytesOf(ImageFromBmp(file)));
      if (dib) result = ClipboardPicture{std::move(*dib), {}};
    }
  }
  if (!result && wxTheClipboard->IsSupported(wxDF_BITMAP)) {
    wxBitmapDataObject bitmap_data;
    if (wxTheClipboard->GetData(bitmap_data)) {
      const wxImage image = bitmap_data.GetBitmap().ConvertToImage();
      if (auto dib = PackedDibFromBmpFile(BmpBytesOf(image))) {
        result = ClipboardPicture{std::move(*dib), {}};
      }
    }
  }
  wxTheClipboard->Close();
  return result;
}

std::optional<std::string> TWxClipboard::GetText() const {
  if (!open_) return std::nullopt;
  if (text_) return text_;
  if (!wxTheClipboard->Open()) return std::nullopt;
  std::optional<std::string> result;
  wxTextDataObject text_data;
  if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(text_data)) {
    result = text_data.GetText().utf8_string();
  }
  wxTheClipboard->Close();
  return result;
}
