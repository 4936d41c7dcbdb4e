#include "PseudoRandom.h"

unsigned CPseudoRandom::Next() {
    m_state = m_state * 214013u + 2531011u;
    return (m_state >> 16) & kMax;
}
