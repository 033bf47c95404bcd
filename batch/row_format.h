#pragma once

// The rows the command line writes.
enum class RowFormat { Csv, JsonLines, LineProtocol };
