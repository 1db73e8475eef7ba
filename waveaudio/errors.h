#pragma once

#include <cstdint>

// The MCI error codes this device answers with (MCI numbers them from 256 on).
namespace waveaudio::error {

// | Code | MCI name                | When                                                       |
// |------|-------------------------|------------------------------------------------------------|
// | 259  | UNRECOGNIZED_KEYWORD    | a word the command does not take                           |
// | 261  | UNRECOGNIZED_COMMAND    | the first word is not open, record, stop, save or close    |
// | 262  | HARDWARE                | the capture device cannot be opened or set to the format  |
// | 263  | INVALID_DEVICE_NAME     | no device is open under the alias; a type not "waveaudio"  |
// | 267  | MISSING_COMMAND_STRING  | an empty command text                                      |
// | 270  | BAD_INTEGER             | a buffer length that is not a whole number of seconds > 0  |
// | 273  | MISSING_PARAMETER       | a flag without its value; open without type or alias       |
// | 275  | FILE_NOT_FOUND          | the element does not exist; the save target's directory    |
// |      |                         | does not exist                                             |
// | 286  | FILE_NOT_SAVED          | save without a file name, or the file cannot be written    |
// | 289  | DUPLICATE_ALIAS         | open under an alias that is already open                   |
// | 292  | MISSING_DEVICE_NAME     | a command without its alias, open without its element      |
// | 294  | NO_CLOSING_QUOTE        | a double quote that is not closed                          |
// | 296  | INVALID_FILE            | the element is not a complete PCM WAVE header or cannot be |
// |      |                         | read                                                       |
// | 349  | FILE_WRITE              | the recording's spool file cannot be made                  |
constexpr std::int32_t kUnrecognizedKeyword = 259;
constexpr std::int32_t kUnrecognizedCommand = 261;
constexpr std::int32_t kHardware = 262;
constexpr std::int32_t kInvalidDeviceName = 263;
constexpr std::int32_t kMissingCommandString = 267;
constexpr std::int32_t kBadInteger = 270;
constexpr std::int32_t kMissingParameter = 273;
constexpr std::int32_t kFileNotFound = 275;
constexpr std::int32_t kFileNotSaved = 286;
constexpr std::int32_t kDuplicateAlias = 289;
constexpr std::int32_t kMissingDeviceName = 292;
constexpr std::int32_t kNoClosingQuote = 294;
constexpr std::int32_t kInvalidFile = 296;
constexpr std::int32_t kFileWrite = 349;

}  // namespace waveaudio::error
