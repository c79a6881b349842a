#pragma once
// The input of one calculation case: the confirmation flag, twenty condition slots and the
// land and sea pressure tables (99 layers each). Plain data; all arrays are 1-based.
//
// Units: elevations m (D.L., up positive), E N/mm2, I cm4/m, Z cm3/m, pressures kN/m2.

#include <optional>
#include <string>

#include "foundation/OneBased.h"

// One slot of the model: empty, a text or a number. Empty reads as 0.
class Slot {
  public:
    enum class Kind { Empty, Text, Number };

    Slot() = default;
    static Slot number(double value);
    static Slot text(std::string utf8);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isNumber() const { return m_kind == Kind::Number; }
    bool isText() const { return m_kind == Kind::Text; }

    // The slot read as a number: empty gives 0, a number itself, a text its value when the
    // whole text is a number; nullopt for a text that is not one.
    std::optional<double> toNumber() const;
    // The slot read as a text: empty gives "", a number its general-number text.
    std::string toText() const;

    bool operator==(const Slot&) const = default;

  private:
    Kind m_kind = Kind::Empty;
    double m_number = 0.0;
    std::string m_text;  // UTF-8
};

constexpr int kConditionSlots = 20;
constexpr int kMaxLoadLayers = 99;

// Condition slot numbers.
enum Cond : int {
    CondTitle = 1,
    CondTopLevel = 2,
    CondTieLevel = 3,
    CondDesignLevel = 4,
    CondYoung = 5,
    CondInertia = 6,
    CondZUpper = 7,
    CondZLower = 8,
    CondSafetyFactor = 9,
    CondAllowableStress = 10,
    CondPitch = 11,
};

using ConditionSet = OneBased<Slot, kConditionSlots>;

// Fields of one layer: 1 thickness m, 2 pressure at the top, 3 pressure at the bottom.
using LoadLayer = OneBased<Slot, 3>;

// A layered table; stored field first, row second: table(field, row).
class LoadTable {
  public:
    Slot& operator()(int field, int row) { return m_rows(row)(field); }
    const Slot& operator()(int field, int row) const { return m_rows(row)(field); }
    void clear() { m_rows.fill(LoadLayer{}); }

    bool operator==(const LoadTable&) const = default;

  private:
    OneBased<LoadLayer, kMaxLoadLayers> m_rows;
};

struct InputModel {
    bool InputDataSet = false;
    ConditionSet CondData;
    int LandLoadCount = 0;
    LoadTable LandLoads;
    int SeaLoadCount = 0;
    LoadTable SeaLoads;

    bool operator==(const InputModel&) const = default;
};

// Resets the input model: empty slots, empty tables, counts 0, flag false.
void ClearInputData(InputModel& model);
