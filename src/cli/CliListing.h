#pragma once

#include <string>

class CCatalogue;
class CFileInfo;

// The JSON lines kelto-cli prints for --list-coders, --info and --dry-run.

// One line per coder (the pass-through coder last, without program and presets), then one per
// decoder, each line ended by a line break.
std::string CatalogueJsonLines(const CCatalogue& catalogue);
// path, format, format_id, size, sample_rate, channels, resolution, bit_rate, codec.
std::string FileInfoJson(const CFileInfo& file);
// path, decoder, decoder_command, coder, coder_command, preset, output; null for what the file
// does not have.
std::string DryRunJson(const CFileInfo& file);
