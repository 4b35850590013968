# The fixed bypass hosts are reached without the proxy, each bare and with
# "www.": none of them may be the IP-check host, or the verification would
# check a direct connection and prove nothing.
#   nimvara_check_bypass_hosts(<bypass host list> <IP-check host>)
# Also runs as a script: cmake -DBYPASS_HOSTS=a;b -DIPCHECK_HOST=h -P check_hosts.cmake
function(nimvara_check_bypass_hosts bypass_hosts ipcheck_host)
  list(LENGTH bypass_hosts count)
  if(NOT count EQUAL 2)
    message(FATAL_ERROR "NIMVARA_BYPASS_HOSTS must name exactly two hosts, not \"${bypass_hosts}\"")
  endif()
  string(TOLOWER "${ipcheck_host}" ipcheck)
  foreach(host IN LISTS bypass_hosts)
    string(TOLOWER "${host}" host)
    if(host STREQUAL "" OR NOT host MATCHES "^[a-z0-9.-]+$")
      message(FATAL_ERROR "NIMVARA_BYPASS_HOSTS: \"${host}\" is not a host name")
    endif()
    if(host STREQUAL ipcheck OR "www.${host}" STREQUAL ipcheck)
      message(FATAL_ERROR "NIMVARA_BYPASS_HOSTS: \"${host}\" would send the IP-check host "
                          "${ipcheck_host} around the proxy, and the verification would prove nothing")
    endif()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED IPCHECK_HOST)
  nimvara_check_bypass_hosts("${BYPASS_HOSTS}" "${IPCHECK_HOST}")
endif()
