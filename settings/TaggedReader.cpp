#include "settings/TaggedReader.h"

#include "settings/BuildString.h"

int32_t LastTag = 0;

namespace {

constexpr int kStx = 2;
constexpr int kCr = 13;
constexpr int kQuote = '"';
// "{+++}" adds up to this; it stands for the tag after LastTag.
constexpr int kNextTag = -555;
// Tags from here on are kept out of LastTag, so "{+++}" continues the numbered list.
constexpr int kFirstUnremembered = 999;

enum class TMode { Scanning, PlainValue, QuotedValue };

// The reader's two stream operations over a C stream and over bytes in memory.
class TFileSource {
 public:
  explicit TFileSource(FILE* stream) : stream_(stream) {}
  bool Missing() const { return stream_ == nullptr; }
  int Get() { return fgetc(stream_); }
  void PushBack(int ch) { ungetc(ch, stream_); }

 private:
  FILE* stream_;
};

class TMemorySource {
 public:
  explicit TMemorySource(TTextBytes& bytes) : bytes_(bytes) {}
  bool Missing() const { return false; }
  int Get() {
    if (bytes_.Position >= bytes_.Text.size()) {
      return -1;
    }
    return static_cast<unsigned char>(bytes_.Text[bytes_.Position++]);
  }
  // Only ever the character just got.
  void PushBack(int /*ch*/) { --bytes_.Position; }

 private:
  TTextBytes& bytes_;
};

// Every character taken from the stream is also kept in the raw text; a
// character lost at the end of the stream is kept as 0xFF.
template <typename Source>
int GetChar(Source& stream, TBuildString& raw) {
  int ch = stream.Get();
  raw.AddChar(ch);
  return ch;
}

// Three characters enter the number by their codes, unchecked, so that any
// text between the braces gives some tag.
template <typename Source>
int32_t ReadThreeDigits(Source& stream, TBuildString& raw) {
  int32_t hundreds = GetChar(stream, raw) - '0';
  int32_t tens = GetChar(stream, raw) - '0';
  int32_t ones = GetChar(stream, raw) - '0';
  return 100 * hundreds + 10 * tens + ones;
}

// Wraps instead of overflowing; only an absurdly long run of "{+++}" gets there.
int32_t WrappingAdd(int32_t a, int64_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(a) + b));
}

// Called after "{": reads the tag number, keeps LastTag up to date and reads
// an optional ".nnn" sub-index, which does not reach LastTag.
template <typename Source>
int32_t ReadTag(Source& stream, TBuildString& raw) {
  int32_t tag = ReadThreeDigits(stream, raw);
  if (tag == kNextTag) {
    LastTag = WrappingAdd(LastTag, 1);
    tag = LastTag;
  } else if (tag < kFirstUnremembered) {
    LastTag = tag;
  }
  if (GetChar(stream, raw) == '.') {
    tag = WrappingAdd(tag, int64_t{65536} * ReadThreeDigits(stream, raw));
  }
  return tag;
}

// Keeps the raw text of the entry up to the start of the next one, which is
// left in the stream for the next call.
template <typename Source>
void ReadTail(Source& stream, TBuildString& raw) {
  for (;;) {
    int ch = stream.Get();
    if (ch == -1) {
      return;
    }
    if (ch == '{' || ch == kCr || ch == kStx) {
      stream.PushBack(ch);
      return;
    }
    raw.AddChar(ch);
  }
}

// The per-call state of one entry being read.
template <typename Source>
class TEntryReader {
 public:
  TEntryReader(Source stream, char* value, int valueCapacity, char* raw, int rawCapacity)
      : stream_(stream), raw_array_(raw), raw_capacity_(rawCapacity) {
    value_.Init(value, valueCapacity);
    raw_.Init(raw, rawCapacity);
  }

  // Returns the tag of the completed value, or -1 when the stream ends first.
  int Read() {
    if (stream_.Missing()) {
      return -1;
    }
    for (;;) {
      int ch = stream_.Get();
      if (ch == -1) {
        return -1;
      }
      raw_.AddChar(ch);
      if (ActOn(ch)) {
        break;
      }
    }
    if (raw_array_ != nullptr) {
      ReadTail(stream_, raw_);
    }
    return tag_;
  }

 private:
  // Returns true once the value is complete.
  bool ActOn(int ch) {
    switch (mode_) {
      case TMode::Scanning:
        Scan(ch);
        return false;
      case TMode::PlainValue:
        return TakePlain(ch);
      case TMode::QuotedValue:
        return TakeQuoted(ch);
    }
    return false;
  }

  void Scan(int ch) {
    if (ch == kStx) {
      raw_.Init(raw_array_, raw_capacity_);
    } else if (ch == '{') {
      tag_ = ReadTag(stream_, raw_);
    } else if (tag_ != -1 && ch == '=') {
      mode_ = TMode::PlainValue;
    } else if (tag_ != -1 && ch == kQuote) {
      mode_ = TMode::QuotedValue;
    }
  }

  // A line break or any other control character ends a plain value as ";"
  // does; blanks inside it are dropped.
  bool TakePlain(int ch) {
    if (ch < 14 || ch == ';') {
      return true;
    }
    if (ch > ' ') {
      value_.AddChar(ch);
    }
    return false;
  }

  // A run of line breaks and blanks becomes one space before the next visible
  // character; a "{" after a line break ends a quote that was never closed.
  bool TakeQuoted(int ch) {
    if (ch < 14) {
      pending_space_ = true;
    }
    if (pending_space_) {
      if (ch <= ' ') {
        return false;
      }
      if (ch == '{') {
        return true;
      }
      pending_space_ = false;
      value_.AddChar(' ');
    }
    if (ch == kQuote) {
      return true;
    }
    value_.AddChar(ch);
    return false;
  }

  Source stream_;
  char* raw_array_;
  int raw_capacity_;
  TBuildString value_;
  TBuildString raw_;
  TMode mode_ = TMode::Scanning;
  int32_t tag_ = -1;
  bool pending_space_ = false;
};

}  // namespace

int ReadTaggedValue(FILE* stream, char* value, int valueCapacity, char* raw, int rawCapacity) {
  if (value == nullptr) {
    LastTag = 0;
    return -1;
  }
  return TEntryReader(TFileSource(stream), value, valueCapacity, raw, rawCapacity).Read();
}

int ReadTaggedValue(FILE* stream, char* value, int valueCapacity) {
  return ReadTaggedValue(stream, value, valueCapacity, nullptr, 0);
}

int ReadTaggedValue(TTextBytes& bytes, char* value, int valueCapacity) {
  if (value == nullptr) {
    LastTag = 0;
    return -1;
  }
  return TEntryReader(TMemorySource(bytes), value, valueCapacity, nullptr, 0).Read();
}
