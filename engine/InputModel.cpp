#include "engine/InputModel.h"

#include "foundation/NumberFormat.h"
#include "foundation/Numeric.h"

Slot Slot::number(double value) {
    Slot s;
    s.m_kind = Kind::Number;
    s.m_number = value;
    return s;
}

Slot Slot::text(std::string utf8) {
    Slot s;
    s.m_kind = Kind::Text;
    s.m_text = std::move(utf8);
    return s;
}

std::optional<double> Slot::toNumber() const {
    switch (m_kind) {
        case Kind::Empty:
            return 0.0;
        case Kind::Number:
            return m_number;
        case Kind::Text:
            return ParseDouble(m_text);
    }
    return std::nullopt;
}

std::string Slot::toText() const {
    switch (m_kind) {
        case Kind::Empty:
            return {};
        case Kind::Number:
            return FormatGeneralNumber(m_number);
        case Kind::Text:
            return m_text;
    }
    return {};
}

void ClearInputData(InputModel& model) {
    model.InputDataSet = false;
    model.CondData.fill(Slot{});
    model.LandLoadCount = 0;
    model.LandLoads.clear();
    model.SeaLoadCount = 0;
    model.SeaLoads.clear();
}
