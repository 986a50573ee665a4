<?xml version="1.0" encoding="UTF-8"?>
<!--
  FACTURA.XSL: one printable HTML page of a Facturae 3.0 or 3.2.2 invoice as
  TORVANE1 writes it (the file that the invoices' xml-stylesheet link names).

  The page shows the administering firm issuing on behalf of the owner, the
  owner, the tenant, the property's address, the invoice number and date,
  the billing period, one row per concept with its taxes, the tax summary,
  the withholding, the total and the payment, with the debited account
  masked to its last four digits. Labels follow the invoice's LanguageName:
  CAT/ca Catalan, SPA/es Spanish, GLG/gl Galician, OCI/oc Occitan, anything
  else Catalan. The page has no script and loads nothing: its styles are in
  it, with A4 print rules.

  Both versions put the root element in their own namespace and every other
  element in none, so the root is matched in either namespace and the rest by
  name. Amounts are shown as the invoice writes them.
-->
<xsl:stylesheet version="1.0"
    xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:f30="http://www.facturae.es/Facturae/2007/v3.0/Facturae"
    xmlns:f322="http://www.facturae.gob.es/formato/Versiones/Facturaev3_2_2.xml"
    xmlns:l="urn:torvane:labels"
    exclude-result-prefixes="f30 f322 l">

  <xsl:output method="html" encoding="UTF-8" indent="yes"
      doctype-system="about:legacy-compat"/>

  <!-- The labels, one element per text, one attribute per language. -->
  <l:labels>
    <l:t k="title" ca="Factura" es="Factura" gl="Factura" oc="Factura"/>
    <l:t k="number" ca="Número" es="Número" gl="Número" oc="Numèro"/>
    <l:t k="date" ca="Data" es="Fecha" gl="Data" oc="Data"/>
    <l:t k="issuer" ca="Emesa per" es="Emitida por" gl="Emitida por" oc="Emesa per"/>
    <l:t k="behalf" ca="en nom de" es="en nombre de" gl="en nome de" oc="al nom de"/>
    <l:t k="owner" ca="Propietari" es="Propietario" gl="Propietario" oc="Proprietari"/>
    <l:t k="tenant" ca="Llogater" es="Inquilino" gl="Inquilino" oc="Locatari"/>
    <l:t k="property" ca="Immoble" es="Inmueble" gl="Inmoble" oc="Immòble"/>
    <l:t k="period" ca="Període" es="Periodo" gl="Período" oc="Periòde"/>
    <l:t k="concept" ca="Concepte" es="Concepto" gl="Concepto" oc="Concèpte"/>
    <l:t k="amount" ca="Import" es="Importe" gl="Importe" oc="Impòrt"/>
    <l:t k="taxes" ca="Impostos" es="Impuestos" gl="Impostos" oc="Impòstes"/>
    <l:t k="summary" ca="Resum d'impostos" es="Resumen de impuestos" gl="Resumo de impostos" oc="Resumit dels impòstes"/>
    <l:t k="tax" ca="Impost" es="Impuesto" gl="Imposto" oc="Impòst"/>
    <l:t k="rate" ca="Tipus" es="Tipo" gl="Tipo" oc="Taus"/>
    <l:t k="base" ca="Base" es="Base" gl="Base" oc="Basa"/>
    <l:t k="withholding" ca="Retenció" es="Retención" gl="Retención" oc="Retenguda"/>
    <l:t k="gross" ca="Import brut" es="Importe bruto" gl="Importe bruto" oc="Impòrt brut"/>
    <l:t k="total" ca="Total a pagar" es="Total a pagar" gl="Total a pagar" oc="Total de pagar"/>
    <l:t k="payment" ca="Pagament" es="Pago" gl="Pagamento" oc="Pagament"/>
    <l:t k="means" ca="Forma de pagament" es="Forma de pago" gl="Forma de pagamento" oc="Mòde de pagament"/>
    <l:t k="due" ca="Venciment" es="Vencimiento" gl="Vencemento" oc="Escasença"/>
    <l:t k="reference" ca="Referència" es="Referencia" gl="Referencia" oc="Referéncia"/>
    <l:t k="account" ca="Compte de càrrec" es="Cuenta de cargo" gl="Conta de cargo" oc="Compte de cargament"/>
    <l:t k="taxid" ca="NIF" es="NIF" gl="NIF" oc="NIF"/>
    <l:t k="means01" ca="Al comptat" es="Al contado" gl="Ao contado" oc="Al comptant"/>
    <l:t k="means02" ca="Domiciliació bancària" es="Domiciliación bancaria" gl="Domiciliación bancaria" oc="Domiciliacion bancària"/>
    <l:t k="means04" ca="Transferència" es="Transferencia" gl="Transferencia" oc="Transferiment"/>
    <l:t k="unknown" ca="Aquest document no és una factura Facturae 3.0 ni 3.2.2." es="Este documento no es una factura Facturae 3.0 ni 3.2.2." gl="Este documento non é unha factura Facturae 3.0 nin 3.2.2." oc="Aqueste document es pas una factura Facturae 3.0 ni 3.2.2."/>
  </l:labels>

  <xsl:variable name="labels" select="document('')/*/l:labels/l:t"/>

  <xsl:variable name="language-name"
      select="normalize-space((//Invoice/InvoiceIssueData/LanguageName)[1])"/>
  <xsl:variable name="lang">
    <xsl:choose>
      <xsl:when test="$language-name = 'SPA' or $language-name = 'es'">es</xsl:when>
      <xsl:when test="$language-name = 'GLG' or $language-name = 'gl'">gl</xsl:when>
      <xsl:when test="$language-name = 'OCI' or $language-name = 'oc'">oc</xsl:when>
      <xsl:otherwise>ca</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>

  <xsl:template name="label">
    <xsl:param name="key"/>
    <xsl:value-of select="$labels[@k = $key]/@*[local-name() = $lang]"/>
  </xsl:template>

  <xsl:template match="/">
    <html lang="{$lang}">
      <head>
        <title>
          <xsl:call-template name="label"><xsl:with-param name="key" select="'title'"/></xsl:call-template>
          <xsl:text> </xsl:text>
          <xsl:value-of select="(//Invoice/InvoiceHeader/InvoiceNumber)[1]"/>
        </title>
        <style>
          @page { size: A4; margin: 14mm 16mm; }
          * { box-sizing: border-box; }
          body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 10pt;
                 color: #111; background: #fff; margin: 0; padding: 16px; }
          .sheet { max-width: 178mm; margin: 0 auto; }
          h1 { font-size: 20pt; margin: 0 0 2mm 0; letter-spacing: 0.05em; }
          h2 { font-size: 10pt; text-transform: uppercase; letter-spacing: 0.08em; color: #345;
               border-bottom: 1px solid #789; margin: 5mm 0 2mm 0; padding-bottom: 1mm; }
          .top { display: flex; justify-content: space-between; align-items: flex-start; }
          .meta { text-align: right; }
          .meta div { margin-bottom: 1mm; }
          .parties { display: flex; gap: 6mm; }
          .party { flex: 1; border: 1px solid #bcd; border-radius: 2mm; padding: 2.5mm 3mm; }
          .party h2 { margin-top: 0; }
          .name { font-weight: bold; }
          .behalf { color: #345; font-style: italic; margin: 1mm 0; }
          table { width: 100%; border-collapse: collapse; margin-top: 1mm; }
          th, td { padding: 1.2mm 2mm; border-bottom: 1px solid #dde; vertical-align: top; }
          th { text-align: left; background: #eef2f6; font-weight: bold; }
          .num { text-align: right; white-space: nowrap; }
          .taxline { color: #456; font-size: 9pt; }
          .totals { width: 60%; margin-left: 40%; }
          .grand td { font-size: 12pt; font-weight: bold; border-top: 2px solid #111; }
          .label { color: #456; }
          @media print {
            body { padding: 0; }
            .sheet { max-width: none; }
            .invoice + .invoice { page-break-before: always; }
            th { background: #eef2f6; -webkit-print-color-adjust: exact; print-color-adjust: exact; }
          }
        </style>
      </head>
      <body>
        <div class="sheet">
          <xsl:choose>
            <xsl:when test="/f30:Facturae | /f322:Facturae">
              <xsl:for-each select="/*/Invoices/Invoice">
                <xsl:call-template name="invoice"/>
              </xsl:for-each>
            </xsl:when>
            <xsl:otherwise>
              <p><xsl:call-template name="label"><xsl:with-param name="key" select="'unknown'"/></xsl:call-template></p>
            </xsl:otherwise>
          </xsl:choose>
        </div>
      </body>
    </html>
  </xsl:template>

  <!-- One invoice, the context node being its Invoice element. -->
  <xsl:template name="invoice">
    <xsl:variable name="parties" select="/*/Parties"/>
    <xsl:variable name="installment" select="PaymentDetails/Installment[1]"/>
    <div class="invoice">
      <div class="top">
        <div>
          <h1><xsl:call-template name="label"><xsl:with-param name="key" select="'title'"/></xsl:call-template></h1>
          <xsl:for-each select="/*/FileHeader/ThirdParty">
            <div>
              <span class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'issuer'"/></xsl:call-template>: </span>
              <span class="name"><xsl:apply-templates select="." mode="name"/></span>
              <xsl:text> </xsl:text>
              <span class="label">(<xsl:call-template name="label"><xsl:with-param name="key" select="'taxid'"/></xsl:call-template>
              <xsl:text> </xsl:text><xsl:value-of select="TaxIdentification/TaxIdentificationNumber"/>)</span>
            </div>
            <div><xsl:apply-templates select="(*/AddressInSpain | */OverseasAddress)[1]"/></div>
            <div class="behalf">
              <xsl:call-template name="label"><xsl:with-param name="key" select="'behalf'"/></xsl:call-template>
              <xsl:text> </xsl:text>
              <xsl:apply-templates select="$parties/SellerParty" mode="name"/>
            </div>
          </xsl:for-each>
        </div>
        <div class="meta">
          <div><span class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'number'"/></xsl:call-template>: </span>
            <strong id="invoice-number"><xsl:value-of select="InvoiceHeader/InvoiceSeriesCode"/><xsl:value-of select="InvoiceHeader/InvoiceNumber"/></strong></div>
          <div><span class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'date'"/></xsl:call-template>: </span>
            <xsl:call-template name="date"><xsl:with-param name="iso" select="InvoiceIssueData/IssueDate"/></xsl:call-template></div>
          <xsl:if test="normalize-space($installment/CollectionAdditionalInformation)">
            <div><span class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'period'"/></xsl:call-template>: </span>
              <xsl:value-of select="$installment/CollectionAdditionalInformation"/></div>
          </xsl:if>
        </div>
      </div>

      <div class="parties">
        <xsl:for-each select="$parties/SellerParty">
          <div class="party">
            <h2><xsl:call-template name="label"><xsl:with-param name="key" select="'owner'"/></xsl:call-template></h2>
            <xsl:call-template name="party"/>
          </div>
        </xsl:for-each>
        <xsl:for-each select="$parties/BuyerParty">
          <div class="party">
            <h2><xsl:call-template name="label"><xsl:with-param name="key" select="'tenant'"/></xsl:call-template></h2>
            <div class="name" id="tenant"><xsl:apply-templates select="." mode="name"/></div>
            <div><xsl:call-template name="label"><xsl:with-param name="key" select="'taxid'"/></xsl:call-template>
              <xsl:text> </xsl:text><xsl:value-of select="TaxIdentification/TaxIdentificationNumber"/></div>
          </div>
          <div class="party">
            <h2><xsl:call-template name="label"><xsl:with-param name="key" select="'property'"/></xsl:call-template></h2>
            <xsl:apply-templates select="(*/AddressInSpain | */OverseasAddress)[1]"/>
          </div>
        </xsl:for-each>
      </div>

      <h2><xsl:call-template name="label"><xsl:with-param name="key" select="'concept'"/></xsl:call-template></h2>
      <table>
        <tr>
          <th><xsl:call-template name="label"><xsl:with-param name="key" select="'concept'"/></xsl:call-template></th>
          <th><xsl:call-template name="label"><xsl:with-param name="key" select="'taxes'"/></xsl:call-template></th>
          <th class="num"><xsl:call-template name="label"><xsl:with-param name="key" select="'amount'"/></xsl:call-template></th>
        </tr>
        <xsl:for-each select="Items/InvoiceLine">
          <tr>
            <td><xsl:value-of select="ItemDescription"/></td>
            <td class="taxline">
              <xsl:for-each select="TaxesOutputs/Tax">
                <xsl:call-template name="tax-name"/>
                <xsl:text> </xsl:text><xsl:value-of select="TaxRate"/><xsl:text> %: </xsl:text>
                <xsl:value-of select="TaxAmount/TotalAmount"/><br/>
              </xsl:for-each>
              <xsl:for-each select="TaxesWithheld/Tax">
                <xsl:call-template name="tax-name"/>
                <xsl:text> </xsl:text><xsl:value-of select="TaxRate"/><xsl:text> %: −</xsl:text>
                <xsl:value-of select="TaxAmount/TotalAmount"/><br/>
              </xsl:for-each>
            </td>
            <td class="num"><xsl:value-of select="GrossAmount"/> €</td>
          </tr>
        </xsl:for-each>
      </table>

      <h2><xsl:call-template name="label"><xsl:with-param name="key" select="'summary'"/></xsl:call-template></h2>
      <table>
        <tr>
          <th><xsl:call-template name="label"><xsl:with-param name="key" select="'tax'"/></xsl:call-template></th>
          <th class="num"><xsl:call-template name="label"><xsl:with-param name="key" select="'rate'"/></xsl:call-template></th>
          <th class="num"><xsl:call-template name="label"><xsl:with-param name="key" select="'base'"/></xsl:call-template></th>
          <th class="num"><xsl:call-template name="label"><xsl:with-param name="key" select="'amount'"/></xsl:call-template></th>
        </tr>
        <xsl:for-each select="TaxesOutputs/Tax">
          <tr>
            <td><xsl:call-template name="tax-name"/></td>
            <td class="num"><xsl:value-of select="TaxRate"/> %</td>
            <td class="num"><xsl:value-of select="TaxableBase/TotalAmount"/> €</td>
            <td class="num"><xsl:value-of select="TaxAmount/TotalAmount"/> €</td>
          </tr>
        </xsl:for-each>
        <xsl:for-each select="TaxesWithheld/Tax">
          <tr>
            <td><xsl:call-template name="label"><xsl:with-param name="key" select="'withholding'"/></xsl:call-template>
              <xsl:text> </xsl:text><xsl:call-template name="tax-name"/></td>
            <td class="num"><xsl:value-of select="TaxRate"/> %</td>
            <td class="num"><xsl:value-of select="TaxableBase/TotalAmount"/> €</td>
            <td class="num">−<xsl:value-of select="TaxAmount/TotalAmount"/> €</td>
          </tr>
        </xsl:for-each>
      </table>

      <table class="totals">
        <tr><td><xsl:call-template name="label"><xsl:with-param name="key" select="'gross'"/></xsl:call-template></td>
          <td class="num"><xsl:value-of select="InvoiceTotals/TotalGrossAmountBeforeTaxes"/> €</td></tr>
        <tr><td><xsl:call-template name="label"><xsl:with-param name="key" select="'taxes'"/></xsl:call-template></td>
          <td class="num"><xsl:value-of select="InvoiceTotals/TotalTaxOutputs"/> €</td></tr>
        <tr><td><xsl:call-template name="label"><xsl:with-param name="key" select="'withholding'"/></xsl:call-template></td>
          <td class="num">−<xsl:value-of select="InvoiceTotals/TotalTaxesWithheld"/> €</td></tr>
        <tr class="grand"><td><xsl:call-template name="label"><xsl:with-param name="key" select="'total'"/></xsl:call-template></td>
          <td class="num" id="invoice-total"><xsl:value-of select="InvoiceTotals/InvoiceTotal"/> €</td></tr>
      </table>

      <xsl:if test="$installment">
        <h2><xsl:call-template name="label"><xsl:with-param name="key" select="'payment'"/></xsl:call-template></h2>
        <table>
          <tr><td class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'means'"/></xsl:call-template></td>
            <td><xsl:call-template name="means"><xsl:with-param name="code" select="$installment/PaymentMeans"/></xsl:call-template></td></tr>
          <tr><td class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'due'"/></xsl:call-template></td>
            <td><xsl:call-template name="date"><xsl:with-param name="iso" select="$installment/InstallmentDueDate"/></xsl:call-template>:
              <xsl:value-of select="$installment/InstallmentAmount"/> €</td></tr>
          <xsl:if test="normalize-space($installment/PaymentReconciliationReference)">
            <tr><td class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'reference'"/></xsl:call-template></td>
              <td><xsl:value-of select="$installment/PaymentReconciliationReference"/></td></tr>
          </xsl:if>
          <xsl:for-each select="$installment/AccountToBeDebited">
            <xsl:variable name="account" select="normalize-space(IBAN | AccountNumber)"/>
            <tr><td class="label"><xsl:call-template name="label"><xsl:with-param name="key" select="'account'"/></xsl:call-template></td>
              <td id="account">**** **** **** <xsl:value-of select="substring($account, string-length($account) - 3)"/></td></tr>
          </xsl:for-each>
        </table>
      </xsl:if>
    </div>
  </xsl:template>

  <!-- A party's name, tax number and address. -->
  <xsl:template name="party">
    <div class="name"><xsl:apply-templates select="." mode="name"/></div>
    <div><xsl:call-template name="label"><xsl:with-param name="key" select="'taxid'"/></xsl:call-template>
      <xsl:text> </xsl:text><xsl:value-of select="TaxIdentification/TaxIdentificationNumber"/></div>
    <xsl:apply-templates select="(*/AddressInSpain | */OverseasAddress)[1]"/>
  </xsl:template>

  <xsl:template match="*" mode="name">
    <xsl:choose>
      <xsl:when test="LegalEntity">
        <xsl:value-of select="normalize-space(LegalEntity/CorporateName)"/>
        <xsl:if test="normalize-space(LegalEntity/TradeName) and
                      normalize-space(LegalEntity/TradeName) != normalize-space(LegalEntity/CorporateName)">
          <xsl:text> (</xsl:text><xsl:value-of select="normalize-space(LegalEntity/TradeName)"/><xsl:text>)</xsl:text>
        </xsl:if>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="normalize-space(concat(Individual/Name, ' ', Individual/FirstSurname, ' ',
                                                     Individual/SecondSurname))"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="AddressInSpain">
    <div><xsl:value-of select="Address"/></div>
    <div><xsl:value-of select="normalize-space(concat(PostCode, ' ', Town))"/></div>
    <xsl:if test="normalize-space(Province) and normalize-space(Province) != normalize-space(Town)">
      <div><xsl:value-of select="Province"/></div>
    </xsl:if>
  </xsl:template>

  <xsl:template match="OverseasAddress">
    <div><xsl:value-of select="Address"/></div>
    <div><xsl:value-of select="PostCodeAndTown"/></div>
    <div><xsl:value-of select="normalize-space(concat(Province, ' ', CountryCode))"/></div>
  </xsl:template>

  <!-- The tax's name from its Facturae code; the code itself when unknown. -->
  <xsl:template name="tax-name">
    <xsl:choose>
      <xsl:when test="TaxTypeCode = '01'">IVA</xsl:when>
      <xsl:when test="TaxTypeCode = '02'">IPSI</xsl:when>
      <xsl:when test="TaxTypeCode = '03'">IGIC</xsl:when>
      <xsl:when test="TaxTypeCode = '04'">IRPF</xsl:when>
      <xsl:otherwise><xsl:value-of select="TaxTypeCode"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="means">
    <xsl:param name="code"/>
    <xsl:variable name="text" select="$labels[@k = concat('means', $code)]/@*[local-name() = $lang]"/>
    <xsl:choose>
      <xsl:when test="$text"><xsl:value-of select="$text"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="$code"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- YYYY-MM-DD as DD/MM/YYYY; anything else as it is. -->
  <xsl:template name="date">
    <xsl:param name="iso"/>
    <xsl:choose>
      <xsl:when test="string-length($iso) = 10 and substring($iso, 5, 1) = '-'">
        <xsl:value-of select="concat(substring($iso, 9, 2), '/', substring($iso, 6, 2), '/', substring($iso, 1, 4))"/>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$iso"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
