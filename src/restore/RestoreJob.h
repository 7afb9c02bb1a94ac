#pragma once

namespace velmira {

enum class RestoreJob { ChartJob, TreatmentBookJob, CertificateJob };

}  // namespace velmira
