// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/JpegBild.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace {

// A larger picture is refused before memory is taken for it: a damaged or hostile header may
// claim up to 65500 × 65500 pixels.
constexpr unsigned long GroesstePixelzahl = 64UL * 1024UL * 1024UL;

// libjpeg's error manager ends the process on an error; this one jumps back into the function
// that called libjpeg instead.
struct TJpegFehler {
    jpeg_error_mgr Basis;
    std::jmp_buf Ruecksprung;
};

[[noreturn]] void FehlerAusgang(j_common_ptr info) {
    auto* fehler = reinterpret_cast<TJpegFehler*>(info->err);
    std::longjmp(fehler->Ruecksprung, 1);
}

// Level -1 is a warning about damaged data; the other levels are traces, which stay silent.
void Meldung(j_common_ptr info, int stufe) {
    if (stufe < 0) {
        FehlerAusgang(info);
    }
}

// The functions that call setjmp hold nothing with a destructor, so the jump back from
// libjpeg skips no C++ clean-up.
bool Anlegen(jpeg_decompress_struct* info, TJpegFehler* fehler) {
    if (setjmp(fehler->Ruecksprung) != 0) {
        return false;
    }
    jpeg_create_decompress(info);
    return true;
}

bool KopfLesen(jpeg_decompress_struct* info, TJpegFehler* fehler, const unsigned char* daten,
               unsigned long laenge) {
    if (setjmp(fehler->Ruecksprung) != 0) {
        return false;
    }
    jpeg_mem_src(info, daten, laenge);
    return jpeg_read_header(info, TRUE) == JPEG_HEADER_OK;
}

bool Starten(jpeg_decompress_struct* info, TJpegFehler* fehler) {
    if (setjmp(fehler->Ruecksprung) != 0) {
        return false;
    }
    info->out_color_space = JCS_RGB;
    return jpeg_start_decompress(info) == TRUE && info->output_components == 3;
}

bool ZeilenLesen(jpeg_decompress_struct* info, TJpegFehler* fehler, unsigned char* ziel,
                 std::ptrdiff_t zeilenLaenge) {
    if (setjmp(fehler->Ruecksprung) != 0) {
        return false;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW zeile = ziel + static_cast<std::ptrdiff_t>(info->output_scanline) * zeilenLaenge;
        if (jpeg_read_scanlines(info, &zeile, 1) != 1) {
            return false;
        }
    }
    return jpeg_finish_decompress(info) == TRUE;
}

// Checked before decoding starts, since starting already takes memory by the picture's size.
bool GroesseZulaessig(const jpeg_decompress_struct& info) {
    return info.image_width > 0 && info.image_height > 0 &&
           static_cast<unsigned long>(info.image_width) * info.image_height <= GroesstePixelzahl;
}

QImage Dekodieren(jpeg_decompress_struct* info, TJpegFehler* fehler, const QByteArray& daten) {
    const auto* anfang = reinterpret_cast<const unsigned char*>(daten.constData());
    if (!KopfLesen(info, fehler, anfang, static_cast<unsigned long>(daten.size())) ||
        !GroesseZulaessig(*info) || !Starten(info, fehler)) {
        return {};
    }
    QImage bild(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                QImage::Format_RGB888);
    if (bild.isNull() || !ZeilenLesen(info, fehler, bild.bits(), bild.bytesPerLine())) {
        return {};
    }
    return bild;
}

} // namespace

QImage JpegDekodieren(const QByteArray& daten) {
    if (daten.isEmpty()) {
        return {};
    }
    jpeg_decompress_struct info{};
    TJpegFehler fehler{};
    info.err = jpeg_std_error(&fehler.Basis);
    fehler.Basis.error_exit = FehlerAusgang;
    fehler.Basis.emit_message = Meldung;
    QImage bild;
    if (Anlegen(&info, &fehler)) {
        bild = Dekodieren(&info, &fehler, daten);
    }
    // Also after a failed start: it frees what was allocated and ignores the rest.
    jpeg_destroy_decompress(&info);
    return bild;
}
