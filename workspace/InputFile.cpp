#include "workspace/InputFile.h"

#include <cmath>
#include <memory>

#include "foundation/Cp932.h"
#include "foundation/FieldReader.h"
#include "foundation/Numeric.h"
#include "workspace/InputFileIo.h"

using namespace inputfile;

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr int kV110Conditions = 20;
constexpr int kV100Conditions = 10;

std::string formatTag() {
    std::string h;
    // The colon after the tag is the full-width one (CP932 81 46).
    h += "HALVOREN INPUT FILE FORMAT V1";
    h += "\x81\x46";
    return h;
}

// Write convention: texts quoted, numbers in their shortest exact form, empty writes nothing.
void writeSlot(const Slot& slot, std::string& out) {
    switch (slot.kind()) {
        case Slot::Kind::Empty:
            break;
        case Slot::Kind::Text:
            out += '"';
            out += cp932::fromUtf8(slot.toText());
            out += '"';
            break;
        case Slot::Kind::Number:
            out += FormatRoundTrip(*slot.toNumber());
            break;
    }
    out += kCrLf;
}

// Print convention for an integer: the sign position (blank or minus), digits, one blank.
void printCount(int count, std::string& out) {
    out += count < 0 ? "-" : " ";
    out += std::to_string(count < 0 ? -static_cast<long long>(count) : count);
    out += ' ';
    out += kCrLf;
}

void writeTable(int count, const LoadTable& table, std::string& out) {
    printCount(count, out);
    for (int i = 1; i <= count; ++i) {
        for (int j = 1; j <= 3; ++j) writeSlot(table(j, i), out);
    }
}

// Reads the fields of one file into a model, stopping at the first failure.
class ModelReader {
  public:
    explicit ModelReader(std::string_view bytes) : m_reader(bytes) {}

    int error() const { return m_error; }

    bool read(InputModel& model, int conditions) {
        for (int i = 0; i < 3; ++i) {
            if (!m_reader.skipLine()) return fail(kErrPastEnd);
        }
        if (!readFlag(model.InputDataSet)) return false;
        for (int i = 1; i <= conditions; ++i) {
            if (!readSlot(model.CondData(i), true)) return false;
        }
        return readTable(model.LandLoadCount, model.LandLoads) &&
               readTable(model.SeaLoadCount, model.SeaLoads);
    }

  private:
    bool fail(int err) {
        m_error = err;
        return false;
    }

    // Each value stands on its own line.
    bool next(FieldValue& f) { return m_reader.readLineField(f) || fail(kErrPastEnd); }

    bool readFlag(bool& flag) {
        FieldValue f;
        if (!next(f)) return false;
        switch (f.kind) {
            case FieldValue::Kind::Empty:
                flag = false;
                return true;
            case FieldValue::Kind::Boolean:
                flag = f.boolean;
                return true;
            case FieldValue::Kind::Number:
                flag = f.number != 0;
                return true;
            case FieldValue::Kind::Text:
                break;
        }
        return fail(kErrTypeMismatch);
    }

    // A condition slot keeps what the file holds; a layer field must be empty or a number.
    bool readSlot(Slot& slot, bool textAllowed) {
        FieldValue f;
        if (!next(f)) return false;
        switch (f.kind) {
            case FieldValue::Kind::Empty:
                slot = Slot{};
                return true;
            case FieldValue::Kind::Number:
                slot = Slot::number(f.number);
                return true;
            case FieldValue::Kind::Boolean:
                slot = Slot::number(f.boolean ? -1 : 0);
                return true;
            case FieldValue::Kind::Text:
                break;
        }
        if (!textAllowed) return fail(kErrTypeMismatch);
        slot = Slot::text(cp932::toUtf8(f.text));
        return true;
    }

    bool readCount(int& count) {
        FieldValue f;
        if (!next(f)) return false;
        double v = 0;
        if (f.kind == FieldValue::Kind::Number) {
            v = f.number;
        } else if (f.kind != FieldValue::Kind::Empty) {
            return fail(kErrTypeMismatch);
        }
        if (v != std::trunc(v)) return fail(kErrTypeMismatch);
        if (v > 32767 || v < -32768) return fail(kErrOverflow);
        if (v > kMaxLoadLayers || v < 0) return fail(kErrSubscript);
        count = static_cast<int>(v);
        return true;
    }

    bool readTable(int& count, LoadTable& table) {
        if (!readCount(count)) return false;
        for (int i = 1; i <= count; ++i) {
            for (int j = 1; j <= 3; ++j) {
                if (!readSlot(table(j, i), false)) return false;
            }
        }
        return true;
    }

    FieldReader m_reader;
    int m_error = 0;
};

bool loadFile(InputModel& model, const std::string& path, InputFileVersion version, int& errNo) {
    std::string bytes;
    int err = 0;
    if (!ReadWholeFile(path, kMaxFileBytes, bytes, err)) {
        errNo = err;
        return false;
    }
    return LoadInputFileFromBytes(model, bytes, version, errNo);
}

}  // namespace

bool MakeInputFileBytes(const InputModel& model, std::string& out, int& errNo) {
    for (int count : {model.LandLoadCount, model.SeaLoadCount}) {
        if (count < 0 || count > kMaxLoadLayers) {
            errNo = kErrSubscript;
            return false;
        }
    }
    out.clear();
    out += formatTag();
    out += cp932::fromUtf8(model.CondData(CondTitle).toText());
    out += kCrLf;
    out += "PRODUCT NAME";
    out += std::string(19, ' ');
    out += '[';
    out += cp932::fromUtf8("ミブロクス");
    out += ']';
    out += kCrLf;
    out += "INPUT FILE VERSION";
    out += std::string(13, ' ');
    out += "[1.10]";
    out += kCrLf;
    out += model.InputDataSet ? "#TRUE#" : "#FALSE#";
    out += kCrLf;
    for (int i = 1; i <= kConditionSlots; ++i) writeSlot(model.CondData(i), out);
    writeTable(model.LandLoadCount, model.LandLoads, out);
    writeTable(model.SeaLoadCount, model.SeaLoads, out);
    return true;
}

bool SaveInputFile(const InputModel& model, const std::string& path, int& errNo) {
    std::string bytes;
    if (!MakeInputFileBytes(model, bytes, errNo)) return false;
    // What is written must read back: nothing beyond the readers' size limit.
    if (bytes.size() > kMaxFileBytes) {
        errNo = kErrTooLarge;
        return false;
    }
    return WriteFileAtomically(path, bytes, errNo);
}

bool LoadInputFileFromBytes(InputModel& model, std::string_view bytes, InputFileVersion version,
                            int& errNo) {
    if (bytes.size() > kMaxFileBytes) {
        errNo = kErrTooLarge;
        return false;
    }
    // Read into a scratch model so that a failure leaves the caller's model untouched.
    std::unique_ptr<InputModel> scratch;
    if (version == InputFileVersion::V110) {
        scratch = std::make_unique<InputModel>(model);
    } else {
        scratch = std::make_unique<InputModel>();
        ClearInputData(*scratch);
    }
    ModelReader reader(bytes);
    const int conditions = version == InputFileVersion::V110 ? kV110Conditions : kV100Conditions;
    if (!reader.read(*scratch, conditions)) {
        errNo = reader.error();
        return false;
    }
    // What is read must save: the case name is written twice, so a file within the limit
    // can hold a name that would not fit when saved.
    std::string saved;
    int err = 0;
    if (!MakeInputFileBytes(*scratch, saved, err) || saved.size() > kMaxFileBytes) {
        errNo = kErrTooLarge;
        return false;
    }
    model = std::move(*scratch);
    return true;
}

bool LoadInputFile(InputModel& model, const std::string& path, int& errNo) {
    return loadFile(model, path, InputFileVersion::V110, errNo);
}

bool LoadInputFileV100(InputModel& model, const std::string& path, int& errNo) {
    return loadFile(model, path, InputFileVersion::V100, errNo);
}
