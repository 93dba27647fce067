#include "calc/BigUint.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

TBigUint::TBigUint(std::uint64_t value) {
  for (; value != 0; value >>= 32) Limbs.push_back(static_cast<std::uint32_t>(value));
}

void TBigUint::Trim() {
  while (!Limbs.empty() && Limbs.back() == 0) Limbs.pop_back();
}

TBigUint& TBigUint::MultiplyBy(std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : Limbs) {
    const std::uint64_t product = std::uint64_t{limb} * factor + carry;
    limb = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) Limbs.push_back(static_cast<std::uint32_t>(carry));
  Trim();
  return *this;
}

TBigUint& TBigUint::MultiplyBy(const TBigUint& factor) {
  if (IsZero() || factor.IsZero()) {
    Limbs.clear();
    return *this;
  }
  std::vector<std::uint32_t> product(Limbs.size() + factor.Limbs.size(), 0u);
  for (std::size_t i = 0; i < Limbs.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < factor.Limbs.size(); ++j) {
      const std::uint64_t t = std::uint64_t{Limbs[i]} * factor.Limbs[j] + product[i + j] + carry;
      product[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    product[i + factor.Limbs.size()] = static_cast<std::uint32_t>(carry);
  }
  Limbs = std::move(product);
  Trim();
  return *this;
}

TBigUint& TBigUint::MultiplyByPower(std::uint32_t base, int power) {
  for (int i = 0; i < power; ++i) MultiplyBy(base);
  return *this;
}

TBigUint& TBigUint::Add(const TBigUint& b) {
  if (Limbs.size() < b.Limbs.size()) Limbs.resize(b.Limbs.size(), 0u);
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < Limbs.size(); ++i) {
    const std::uint64_t sum = std::uint64_t{Limbs[i]} + (i < b.Limbs.size() ? b.Limbs[i] : 0u) + carry;
    Limbs[i] = static_cast<std::uint32_t>(sum);
    carry = sum >> 32;
    if (carry == 0 && i >= b.Limbs.size()) break;
  }
  if (carry != 0) Limbs.push_back(static_cast<std::uint32_t>(carry));
  return *this;
}

TBigUint& TBigUint::ShiftLeft(int bits) {
  if (Limbs.empty() || bits == 0) return *this;
  Limbs.insert(Limbs.begin(), static_cast<std::size_t>(bits / 32), 0u);
  const int rest = bits % 32;
  if (rest != 0) {
    std::uint32_t carry = 0;
    for (std::uint32_t& limb : Limbs) {
      const std::uint32_t next = limb >> (32 - rest);
      limb = (limb << rest) | carry;
      carry = next;
    }
    if (carry != 0) Limbs.push_back(carry);
  }
  return *this;
}

TBigUint& TBigUint::ShiftRight(int bits) {
  const auto whole = static_cast<std::size_t>(bits / 32);
  if (whole >= Limbs.size()) {
    Limbs.clear();
    return *this;
  }
  Limbs.erase(Limbs.begin(), Limbs.begin() + static_cast<std::ptrdiff_t>(whole));
  const int rest = bits % 32;
  if (rest != 0) {
    for (std::size_t i = 0; i < Limbs.size(); ++i) {
      const std::uint32_t high = i + 1 < Limbs.size() ? Limbs[i + 1] << (32 - rest) : 0u;
      Limbs[i] = (Limbs[i] >> rest) | high;
    }
  }
  Trim();
  return *this;
}

TBigUint& TBigUint::Subtract(const TBigUint& b) {
  if (Compare(*this, b) < 0) throw std::logic_error("TBigUint::Subtract below zero");
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < Limbs.size(); ++i) {
    std::int64_t d = std::int64_t{Limbs[i]} - borrow - (i < b.Limbs.size() ? std::int64_t{b.Limbs[i]} : 0);
    borrow = d < 0 ? 1 : 0;
    if (d < 0) d += std::int64_t{1} << 32;
    Limbs[i] = static_cast<std::uint32_t>(d);
  }
  Trim();
  return *this;
}

std::uint32_t TBigUint::DivideBy(std::uint32_t divisor) {
  if (divisor == 0) throw std::domain_error("division by zero");
  std::uint64_t rest = 0;
  for (std::size_t i = Limbs.size(); i-- > 0;) {
    const std::uint64_t current = (rest << 32) | Limbs[i];
    Limbs[i] = static_cast<std::uint32_t>(current / divisor);
    rest = current % divisor;
  }
  Trim();
  return static_cast<std::uint32_t>(rest);
}

int TBigUint::BitLength() const {
  if (Limbs.empty()) return 0;
  return static_cast<int>(32 * (Limbs.size() - 1)) + 32 - std::countl_zero(Limbs.back());
}

std::uint64_t TBigUint::ToUint64() const {
  if (!FitsUint64()) throw std::range_error("beyond 64 bits");
  std::uint64_t value = 0;
  for (std::size_t i = Limbs.size(); i-- > 0;) value = (value << 32) | Limbs[i];
  return value;
}

std::string TBigUint::ToString() const {
  if (IsZero()) return "0";
  // Nine decimal digits at a time, least significant group first.
  TBigUint rest = *this;
  std::vector<std::uint32_t> groups;
  while (!rest.IsZero()) groups.push_back(rest.DivideBy(1000000000u));
  std::string text = std::to_string(groups.back());
  for (std::size_t i = groups.size() - 1; i-- > 0;) {
    const std::string digits = std::to_string(groups[i]);
    text.append(9 - digits.size(), '0');
    text += digits;
  }
  return text;
}

int Compare(const TBigUint& a, const TBigUint& b) {
  if (a.Limbs.size() != b.Limbs.size()) return a.Limbs.size() < b.Limbs.size() ? -1 : 1;
  for (std::size_t i = a.Limbs.size(); i-- > 0;)
    if (a.Limbs[i] != b.Limbs[i]) return a.Limbs[i] < b.Limbs[i] ? -1 : 1;
  return 0;
}

TBigUint operator*(TBigUint a, const TBigUint& b) { return a.MultiplyBy(b); }
TBigUint operator+(TBigUint a, const TBigUint& b) { return a.Add(b); }

TBigDivision Divide(const TBigUint& a, const TBigUint& b) {
  if (b.IsZero()) throw std::domain_error("division by zero");
  TBigDivision result{TBigUint(0), a};
  for (int shift = a.BitLength() - b.BitLength(); shift >= 0; --shift) {
    TBigUint shifted = b;
    shifted.ShiftLeft(shift);
    if (Compare(result.Remainder, shifted) >= 0) {
      result.Remainder.Subtract(shifted);
      TBigUint bit(1);
      result.Quotient.Add(bit.ShiftLeft(shift));
    }
  }
  return result;
}

TBigUint DivideUp(const TBigUint& a, const TBigUint& b) {
  TBigDivision d = Divide(a, b);
  if (!d.Remainder.IsZero()) d.Quotient.Add(TBigUint(1));
  return d.Quotient;
}

TBigUint DivideUp(TBigUint a, std::uint32_t b) {
  if (a.DivideBy(b) != 0) a.Add(TBigUint(1));
  return a;
}

std::string DecimalText(const TBigUint& value, int fractionDigits) {
  const std::string digits = value.ToString();
  const auto places = static_cast<std::size_t>(fractionDigits);
  const std::size_t split = digits.size() > places ? digits.size() - places : 0;
  std::string fraction(places - (digits.size() - split), '0');
  fraction.append(digits, split, std::string::npos);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = split == 0 ? std::string("0") : digits.substr(0, split);
  if (!fraction.empty()) {
    text += '.';
    text += fraction;
  }
  return text;
}
