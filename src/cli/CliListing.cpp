#include "cli/CliListing.h"

#include "cli/JsonLine.h"
#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "fileinfo/FileInfo.h"
#include "session/Catalogue.h"
#include "session/Conversion.h"

namespace {

std::string PresetsJson(const CCodec& codec) {
    std::string json = "[";
    int index = 0;
    for (const CPreset& preset : codec.GetPresets()) {
        if (index != 0) json += ", ";
        json += CJsonLine()
                    .Add("index", index)
                    .Add("name", preset.Name)
                    .Add("extension", preset.Extension)
                    .Add("command", preset.CommandLine)
                    .Text();
        ++index;
    }
    return json + "]";
}

std::string CodecJson(const char* kind, int index, CCodec& codec, bool passThrough) {
    CJsonLine line;
    line.Add("kind", kind).Add("index", index).Add("name", codec.GetName());
    if (passThrough) {
        line.AddNull("program").AddRaw("presets", "[]");
    } else {
        line.Add("program", codec.GetProgramPath()).AddRaw("presets", PresetsJson(codec));
    }
    return line.Text() + "\n";
}

CJsonLine& AddOrNull(CJsonLine& line, const std::string& key, bool present,
                     const std::string& value) {
    return present ? line.Add(key, value) : line.AddNull(key);
}

}  // namespace

std::string CatalogueJsonLines(const CCatalogue& catalogue) {
    std::string lines;
    const CCoderList& coders = catalogue.GetCoders();
    for (int i = 0; i < coders.GetCount(); ++i) {
        lines += CodecJson("coder", i, *coders.GetAt(i), catalogue.IsPassThrough(i));
    }
    const CDecoderList& decoders = catalogue.GetDecoders();
    for (int i = 0; i < decoders.GetCount(); ++i) {
        lines += CodecJson("decoder", i, *decoders.GetAt(i), false);
    }
    return lines;
}

std::string FileInfoJson(const CFileInfo& file) {
    CJsonLine line;
    line.Add("path", file.Path).Add("format", file.FormatName).Add("format_id", file.FormatId);
    if (file.Size == CFileInfo::kUnknownSize) {
        line.AddNull("size");
    } else {
        line.Add("size", static_cast<std::int64_t>(file.Size));
    }
    line.Add("sample_rate", file.SampleRate)
        .Add("channels", file.Channels)
        .Add("resolution", file.Resolution)
        .Add("bit_rate", file.BitRate)
        .Add("codec", file.Codec);
    if (file.Track) {
        // A track of an image: where the sheet puts it and what it calls it.
        line.Add("sheet", file.Track->SheetPath)
            .Add("track", file.Track->Number)
            .Add("title", file.Track->Title)
            .Add("performer", file.Track->Performer)
            .Add("album", file.Track->Album)
            .Add("first_sample", file.Track->First)
            .Add("samples", file.Samples)
            .Add("duration", file.Duration);
    }
    return line.Text();
}

std::string DryRunJson(const CFileInfo& file) {
    CJsonLine line;
    line.Add("path", file.Path);
    CDecoder* decoder = file.Decoder.get();
    CCoder* coder = file.Coder.get();
    AddOrNull(line, "decoder", decoder, decoder ? decoder->GetName() : "");
    AddOrNull(line, "decoder_command", decoder, decoder ? decoder->GetCommandLine() : "");
    AddOrNull(line, "coder", coder, coder ? coder->GetName() : "");
    AddOrNull(line, "coder_command", coder, coder ? coder->GetCommandLine() : "");
    AddOrNull(line, "preset", coder, file.PresetName);
    const std::string output = CConversion::GetFinalOutput(file);
    AddOrNull(line, "output", !output.empty(), output);
    return line.Text();
}
