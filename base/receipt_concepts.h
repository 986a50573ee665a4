// The concept slots of a receipt, numbered 1 to 14 everywhere in the suite
// (unit records, the run's concept selection, the invoice lines): ten fixed
// concepts, three extra concepts with a code of their own, and one
// instalment concept.
#ifndef TORVANE_BASE_RECEIPT_CONCEPTS_H_
#define TORVANE_BASE_RECEIPT_CONCEPTS_H_

namespace torvane {

inline constexpr int kFixedConcepts = 10;
inline constexpr int kExtraConceptCount = 3;
inline constexpr int kInstalmentConcepts = 1;
inline constexpr int kConceptCount = kFixedConcepts + kExtraConceptCount + kInstalmentConcepts;

}  // namespace torvane

#endif  // TORVANE_BASE_RECEIPT_CONCEPTS_H_
